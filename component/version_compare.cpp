#include "version_compare.h"

#include <cwchar>

#include "base_cmp.h"
#include "pattern.h"

std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t hit; (hit = text.find(separator, start)) != std::wstring::npos; start = hit + 1)
        parts.push_back(text.substr(start, hit - start));
    if (start < text.size()) parts.push_back(text.substr(start));
    return parts;
}

static bool IsNumber(const std::wstring& part) { return UPattern::matches(L"\\d+", part, 0); }

// Digit strings by value, however long: no int can overflow.
static int CompareNumbers(const std::wstring& a, const std::wstring& b) {
    const size_t za = std::min(a.find_first_not_of(L'0'), a.size());
    const size_t zb = std::min(b.find_first_not_of(L'0'), b.size());
    const size_t la = a.size() - za, lb = b.size() - zb;
    if (la != lb) return la < lb ? -1 : 1;
    const int c = a.compare(za, la, b, zb, lb);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Texts by the sign of wcscmp alone: glibc's optimised one answers with other
// magnitudes too, depending on where in memory the texts lie.
static int CompareTexts(const std::wstring& a, const std::wstring& b) {
    const int c = std::wcscmp(a.c_str(), b.c_str());
    return (c > 0) - (c < 0);
}

int CompareVersionParts(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b) {
    for (size_t i = 0;; ++i) {
        if (i == a.size()) return a.size() < b.size() ? -1 : 0;
        if (i == b.size()) return 1;
        const int c = IsNumber(a[i]) && IsNumber(b[i]) ? CompareNumbers(a[i], b[i]) : CompareTexts(a[i], b[i]);
        if (c != 0) return c;
    }
}

std::wstring ActionFor(int comparison) {
    switch (comparison) {
    case 1: return L"upgrade";
    case -1: return L"downgrade";
    case 0: return L"rewrite";
    default: return L"unknown";
    }
}

int CBaseCmp::CompareVersions(std::wstring packaged, std::wstring installed) {
    return CompareVersionParts(SplitString(packaged, L'.'), SplitString(installed, L'.'));
}
