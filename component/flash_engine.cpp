#include "flash_engine.h"

#include <sys/wait.h>

#include <cstdlib>

const char kEngineOutputToLog[] = " 1>> /var/orbil/Component.log 2>&1 3>&1";

void MakeEngineExecutable(const std::string& path) { std::system(("chmod 755 " + path).c_str()); }

int RunFlashEngine(const std::string& commandLine) {
    const int status = std::system(commandLine.c_str());
    if (status == -1) return 255;
    // A killed engine is a failure, never the success that status 0 would mean.
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}
