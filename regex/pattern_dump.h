#pragma once
// Text formatters of the byte pattern dump: the bracket text of a character
// set and a printable text for one character. Each returns a pointer into a
// process-wide buffer of its own that the next call of the same formatter
// overwrites.

#include <map>

// members: the member characters as keys (values are not read).
const char* formatClass(const std::map<char, bool>& members, bool inverted, bool tryComplement);
const char* formatChar(char c);
