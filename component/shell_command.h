// The one place that runs a shell command for its output.
#pragma once

#include <string>

// Everything the command wrote to standard output, line ends included;
// "ERROR" when it cannot be started. Its exit status is not examined.
std::string ExecuteCommand(const std::string& command);
