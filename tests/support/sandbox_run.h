// Runs the real executable (or any shell command) inside tests/sandbox and
// hands back what it left: console output, exit status, the log file and the
// working directory's files.
#pragma once

#include <string>
#include <vector>

struct SandboxResult {
    bool ran = false;      // false: the sandbox itself could not be made
    int status = -1;       // the command's exit status
    std::string out;       // standard output
    std::string err;       // standard error, the sandbox's own reasons included
    std::string log;       // /var/orbil/Component.log afterwards ("" when absent)
    std::string resultDir; // holds work/ and var-orbil/ as the command left them

    // A file of the working directory as the command left it; "" when absent.
    std::string WorkFile(const std::string& name) const;
    bool HasWorkFile(const std::string& name) const;
};

class SandboxCase {
public:
    // A fresh setup tree under the test scratch directory, named after the
    // running test (plus tag, for several sandboxes in one test).
    explicit SandboxCase(const std::string& tag = "");

    // Writes a file into the setup tree: "etc/hba.conf", "work/reference.xml",
    // "var/orbil/Component.log"; parent directories are made.
    void Write(const std::string& path, const std::string& content, int mode = 0644);
    void MakeDir(const std::string& path);
    std::string SetupPath(const std::string& path) const;
    // Runs start with no /var/orbil at all, instead of an empty one.
    void StartWithoutLogDirectory() { withoutLogDirectory_ = true; }

    // The component executable with these words after its name.
    SandboxResult RunComponent(const std::vector<std::string>& args) const;
    // Any shell command line, run in the sandbox's working directory.
    SandboxResult RunShell(const std::string& command) const;

private:
    std::string root_;
    bool withoutLogDirectory_ = false;
};

// Shell-quotes one word.
std::string ShellQuote(const std::string& word);
std::string ReadFile(const std::string& path);
