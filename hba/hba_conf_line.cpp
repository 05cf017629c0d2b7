#include "hba_conf_line.h"

#include <cstring>
#include <string>

#include "fixed_text.h"

static bool IsPathByte(char c) {
    return c == '_' || (c >= '.' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Passes over the rest of the current line, its newline included.
static void SkipRestOfLine(FILE* file) {
    int c;
    do c = std::getc(file);
    while (c != EOF && c != '\n');
}

bool ReadHbaConfLine(FILE* file, char (&line)[kHbaConfLineSize]) {
    // Byte by byte, so that a NUL inside a line cannot hide where it ends.
    size_t n = 0;
    int c;
    while (n < sizeof line - 1 && (c = std::getc(file)) != EOF) {
        line[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    line[n] = '\0';
    if (n == sizeof line - 1 && line[n - 1] != '\n') SkipRestOfLine(file);
    return n > 0;
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
