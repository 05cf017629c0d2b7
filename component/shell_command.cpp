#include "shell_command.h"

#include <cstdio>
#include <cstdlib>

std::string ExecuteCommand(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return "ERROR";
    std::string output;
    char buffer[128];
    while (!std::feof(pipe)) {
        if (!std::fgets(buffer, sizeof buffer, pipe)) break;
        output += buffer;  // a NUL in the output cuts this read there
    }
    pclose(pipe);
    return output;
}

int RunCommand(const std::string& command) { return std::system(command.c_str()); }
