// Dotted version texts compared part by part: two all-digit parts by value,
// any other pair as wide text (by the sign of wcscmp).
#pragma once

#include <string>
#include <vector>

// Parts between separators, empty ones included, but never an empty last part.
std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t separator);

// 1: packaged newer, -1: older, 0: equal.
int CompareVersionParts(const std::vector<std::wstring>& packaged, const std::vector<std::wstring>& installed);

// The action word of a firmware item for a comparison result.
std::wstring ActionFor(int comparison);
