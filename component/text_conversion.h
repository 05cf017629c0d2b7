// Conversions between the component's narrow and wide texts. XML values and
// adapter identities are widened byte by byte (each byte read as a signed
// char) and narrowed back by keeping each character's low byte, so such
// text round-trips unchanged; adapter attribute texts go through mbstowcs in
// the default C locale.
#pragma once

#include <string>

// Each byte becomes one wide character with the byte's signed value.
std::wstring WidenBytes(const char* text);
// Each wide character contributes its low 8 bits.
std::string NarrowLowBytes(const std::wstring& text);
// mbstowcs into a zeroed buffer one longer than the text; stops at the first NUL.
std::wstring ToWide(const char* text);
