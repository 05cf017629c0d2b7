// A fake flash engine in the (sandboxed) working directory, told how to end,
// and what it left behind: its calls and the log file.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

#include "sandbox_run.h"

// Installs the fake engine at path, read-only, so the component must make it executable.
inline void InstallEngine(const std::string& path) {
    const std::string to = ShellQuote(path);
    std::system(("mkdir -p \"$(dirname " + to + ")\" && cp " + ShellQuote(FCHBA_FIXTURES "/engines/fake-engine") + " " +
                 to + " && chmod 444 " + to)
                    .c_str());
}

// "exit 3" or "kill KILL".
inline void EngineEnds(const std::string& how) {
    std::ofstream("engine-status") << how << "\n";
    std::remove("engine-calls");
}

// How the engine ends, and the status the component then returns.
struct EngineCase {
    const char* ends;
    int status;
};

inline void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.ends; }

inline int FileMode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}
