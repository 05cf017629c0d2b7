#include "sandbox_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string ShellQuote(const std::string& word) {
    std::string q = "'";
    for (char c : word) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static void RunOrFail(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

static std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return "no-test";
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    return name;
}

SandboxCase::SandboxCase(const std::string& tag)
    : root_(std::string(FCHBA_TEST_SCRATCH) + "/" + CurrentTestName() + (tag.empty() ? "" : "." + tag)) {
    RunOrFail("rm -rf " + ShellQuote(root_) + " && mkdir -p " + ShellQuote(root_ + "/setup/work"));
}

std::string SandboxCase::SetupPath(const std::string& path) const { return root_ + "/setup/" + path; }

void SandboxCase::MakeDir(const std::string& path) { RunOrFail("mkdir -p " + ShellQuote(SetupPath(path))); }

void SandboxCase::Write(const std::string& path, const std::string& content, int mode) {
    const std::string full = SetupPath(path);
    RunOrFail("mkdir -p \"$(dirname " + ShellQuote(full) + ")\"");
    std::ofstream(full, std::ios::binary) << content;
    chmod(full.c_str(), static_cast<mode_t>(mode));
}

SandboxResult SandboxCase::RunShell(const std::string& command) const {
    SandboxResult r;
    r.resultDir = root_ + "/result";
    const std::string errFile = root_ + "/stderr";
    RunOrFail("rm -rf " + ShellQuote(r.resultDir));
    const std::string line = ShellQuote(FCHBA_SANDBOX) + (withoutLogDirectory_ ? " --no-orbil" : "") + " --setup " +
                             ShellQuote(root_ + "/setup") + " --result " + ShellQuote(r.resultDir) + " -- bash -c " +
                             ShellQuote(command) + " 2>" + ShellQuote(errFile);
    FILE* p = popen(line.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    pclose(p);
    r.err = ReadFile(errFile);
    struct stat st;
    r.ran = stat((r.resultDir + "/status").c_str(), &st) == 0;
    if (r.ran) r.status = std::atoi(ReadFile(r.resultDir + "/status").c_str());
    r.log = ReadFile(r.resultDir + "/var-orbil/Component.log");
    return r;
}

SandboxResult SandboxCase::RunComponent(const std::vector<std::string>& args) const {
    std::string command = ShellQuote(FCHBA_COMPONENT_EXE);
    for (const auto& a : args) command += " " + ShellQuote(a);
    return RunShell(command);
}

std::string SandboxResult::WorkFile(const std::string& name) const { return ReadFile(resultDir + "/work/" + name); }

bool SandboxResult::HasWorkFile(const std::string& name) const {
    struct stat st;
    return stat((resultDir + "/work/" + name).c_str(), &st) == 0;
}
