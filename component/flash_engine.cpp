#include "flash_engine.h"

#include <sys/wait.h>

#include "shell_command.h"

const char kEngineOutputToLog[] = " 1>> /var/orbil/Component.log 2>&1 3>&1";

// A mode that cannot be set stops nothing: the engine is run all the same,
// and one that cannot be executed gives the shell's code 126.
void MakeEngineExecutable(const std::string& path) { RunCommand("chmod 755 " + path); }

int RunFlashEngine(const std::string& commandLine) {
    const int status = RunCommand(commandLine);
    if (status == -1) return 255;
    // A killed engine is a failure, never the success that status 0 would mean.
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
