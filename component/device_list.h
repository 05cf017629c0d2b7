// The steps every vendor's device list shares: a firmware item whose action
// comes from comparing the packaged version with the installed one.
#pragma once

#include <string>

#include "records.h"

CFwItem MakeFwItem(const wchar_t* type, const std::wstring& packaged, const std::wstring& installed,
                   const std::wstring& duration, const wchar_t* shared);
