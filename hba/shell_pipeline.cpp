#include "shell_pipeline.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

std::vector<std::string> RunPipeline(const std::string& command) {
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return lines;
    char* line = nullptr;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, pipe)) >= 0) {
        if (length > 0 && line[length - 1] == '\n') --length;
        lines.emplace_back(line, static_cast<size_t>(length));
    }
    std::free(line);
    pclose(pipe);
    return lines;
}

std::string QuoteShellWord(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool PathExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}
