#include "hba_conf_line.h"

#include <cstring>
#include <string>

#include "fixed_text.h"

static bool IsPathByte(char c) {
    return c == '_' || (c >= '.' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool ParseHbaConfLine(const char* line, char (&name)[kHbaLibraryNameSize], char (&path)[kHbaConfPathSize]) {
    if (line[0] == '#' || line[0] == '\n') return false;
    const std::string text(line, strcspn(line, "\n"));

    size_t separator = text.find('\t');
    if (separator == std::string::npos) separator = text.find(' ');
    if (separator == std::string::npos) return false;
    const size_t pathStart = text.find_first_not_of(" \t", separator);
    if (separator == 0 || pathStart == std::string::npos) return false;

    size_t pathLength = 0;
    while (pathStart + pathLength < text.size() && IsPathByte(text[pathStart + pathLength])) ++pathLength;
    CopyText(name, text.c_str(), separator);
    CopyText(path, text.c_str() + pathStart, pathLength);
    return true;
}
