#pragma once
// Case folding as the engine uses it: only "A" to "Z" change, folded by hand
// for bytes (so no byte is handed to tolower as a negative value) and through
// towlower for wide characters, in the C locale the system never changes.

#include <cwctype>

inline char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }
inline wchar_t lowerChar(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }
