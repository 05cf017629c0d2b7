#include "text_conversion.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <vector>

#include "base_cmp.h"

std::wstring WidenBytes(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p; ++p) wide += static_cast<wchar_t>(static_cast<signed char>(*p));
    return wide;
}

std::string NarrowLowBytes(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text) narrow += static_cast<char>(static_cast<unsigned long>(c) & 0xff);
    return narrow;
}

std::wstring ToWide(const char* text) {
    const size_t n = std::strlen(text);
    std::vector<wchar_t> buffer(n + 1, L'\0');
    std::mbstowcs(buffer.data(), text, n);
    return std::wstring(buffer.data());
}

std::wstring CBaseCmp::ToUpper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return text;
}
