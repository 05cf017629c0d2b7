// One line of "/etc/hba.conf": a library name, a TAB (or, when the line has
// none, a space), then the library path. The path starts past any further
// blanks and ends at its first byte that is not a letter, a digit, "_", "."
// or "/". Both texts are cut to their fields; the line is not kept.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr size_t kHbaLibraryNameSize = 64;
constexpr size_t kHbaConfPathSize = 256;
constexpr size_t kHbaConfLineSize = 512;  // 511 bytes and the NUL

// Reads the next line of file into line, at most its first 511 bytes with
// the newline; the rest of a longer line is passed over, so it never reads
// as a line of its own. False at the end of the file.
bool ReadHbaConfLine(FILE* file, char (&line)[kHbaConfLineSize]);

// Fills name and path from line; false for a line to skip (a comment, an
// empty line, no separator, an empty name or path).
bool ParseHbaConfLine(const char* line, char (&name)[kHbaLibraryNameSize], char (&path)[kHbaConfPathSize]);
