// The one place that runs shell commands: for their output, or for their
// effect and wait status.
#pragma once

#include <string>

// Everything the command wrote to standard output, line ends included;
// "ERROR" when it cannot be started. Its exit status is not examined.
std::string ExecuteCommand(const std::string& command);

// Runs the command and waits for it: what system() returns, the command's
// wait status, or -1 when no shell could be started. What a failing command
// has to say, it says on standard error.
int RunCommand(const std::string& command);
