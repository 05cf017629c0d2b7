// A fake flash engine in the (sandboxed) working directory, told how to end,
// and what it left behind: its calls and the log file.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>

#include "sandbox_run.h"

// Installs the fake engine at path, read-only, so the component must make it executable.
inline void InstallEngine(const std::string& path) {
    const std::string to = ShellQuote(path);
    const std::string command = "mkdir -p \"$(dirname " + to + ")\" && cp " +
                                ShellQuote(FCHBA_FIXTURES "/engines/fake-engine") + " " + to + " && chmod 444 " + to;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// "exit 3", "kill KILL" or "kill-shell KILL".
inline void EngineEnds(const std::string& how) {
    std::ofstream("engine-status") << how << "\n";
    std::remove("engine-calls");
}

// How the engine ends, the engine code the component then logs and the
// status it returns.
struct EngineCase {
    const char* ends;
    int code;
    int status;
};

// The component logged this engine code.
inline bool LoggedEngineCode(int code) {
    std::ifstream in("/var/orbil/Component.log");
    const std::string line = "Flash Engine exit code: " + std::to_string(code);
    for (std::string logged; std::getline(in, logged);)
        if (logged == line) return true;
    return false;
}

inline void PrintTo(const EngineCase& c, std::ostream* os) { *os << c.ends; }

inline int FileMode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}
