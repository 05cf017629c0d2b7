// One line of "/etc/hba.conf": a library name, a TAB (or, when the line has
// none, a space), then the library path. The path starts past any further
// blanks and ends at its first byte that is not a letter, a digit, "_", "."
// or "/". Both texts are cut to their fields; the line is not kept.
#pragma once

#include <cstddef>

constexpr size_t kHbaLibraryNameSize = 64;
constexpr size_t kHbaConfPathSize = 256;

// Fills name and path from line; false for a line to skip (a comment, an
// empty line, no separator, an empty name or path).
bool ParseHbaConfLine(const char* line, char (&name)[kHbaLibraryNameSize], char (&path)[kHbaConfPathSize]);
