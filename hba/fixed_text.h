// Fixed-width text fields: the one way this subsystem moves a text into or
// out of a char array. A copy never writes past the field, always leaves it
// NUL-terminated, and never reads past the source's own bound, so a source
// that fills its field without a NUL is cut, not overrun.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Copies at most sourceBound bytes of source (stopping at its NUL) into
// field, cut to what fits before the field's NUL.
inline void CopyText(char* field, size_t fieldSize, const char* source, size_t sourceBound) {
    if (fieldSize == 0) return;
    size_t n = strnlen(source, sourceBound);
    if (n > fieldSize - 1) n = fieldSize - 1;
    std::memcpy(field, source, n);
    field[n] = '\0';
}

template <size_t N>
void CopyText(char (&field)[N], const char* source, size_t sourceBound) {
    CopyText(field, N, source, sourceBound);
}

template <size_t N>
void CopyText(char (&field)[N], const std::string& source) {
    CopyText(field, N, source.c_str(), source.size());
}

// The text a field holds, up to its NUL or its end.
template <size_t N>
std::string TextOf(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// Makes sure a field filled by someone else ends within itself.
template <size_t N>
void TerminateField(char (&field)[N]) {
    field[N - 1] = '\0';
}
