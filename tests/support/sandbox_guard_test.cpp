// The sandbox's inner stage given by hand. Each case runs it inside a mount
// namespace that the test itself made, so a sandbox that wrongly goes ahead
// mounts over that namespace's /etc, /var, /usr/lib and /sys, never the
// machine's.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "sandbox_run.h"

namespace {

struct Outcome {
    int status = -1;
    std::string output;  // standard output and standard error
};

// script run by bash under "unshare OPTIONS"; $sandbox and $scratch are set for it.
Outcome RunUnshared(const std::string& options, const std::string& scratch, const std::string& script) {
    const std::string line = "unshare " + options + " env sandbox=" + ShellQuote(FCHBA_SANDBOX) +
                             " scratch=" + ShellQuote(scratch) + " bash -c " + ShellQuote(script) + " 2>&1";
    Outcome outcome;
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// The inner stage started from a shell of the namespace that is to stay
// untouched: by that shell itself, and entered into the namespace of PID 1
// from a shell of another one (a new PID namespace makes the test's shell
// PID 1). Were it to go ahead, it would run "touch ran" beside the scratch.
TEST(SandboxGuard, InnerStageGivenByHandRefusesToRun) {
    const std::string inner = "bash \"$sandbox\" --inside -- \"$scratch\" touch \"$scratch/../ran\"";
    const struct {
        const char* label;
        const char* options;
        std::string start;
    } routes[] = {
        {"FromAShellOfTheNamespace", "--mount --propagation private", inner},
        {"EnteredIntoPidOnesNamespace", "--mount --propagation private --pid --fork --mount-proc",
         "unshare --mount --propagation private bash -c 'nsenter --target 1 --mount " + inner + "; exit $?'"},
    };
    for (const auto& route : routes) {
        SandboxCase sandbox(route.label);
        sandbox.MakeDir("scratch");
        const Outcome o = RunUnshared(route.options, sandbox.SetupPath("scratch"),
                                      route.start + "; echo \"status $?\"; "
                                                    "findmnt -n -M \"$scratch\" >/dev/null && echo mounted; true");
        EXPECT_NE(o.output.find("sandbox: refusing"), std::string::npos) << route.label << ": " << o.output;
        EXPECT_NE(o.output.find("status 99\n"), std::string::npos) << route.label << ": " << o.output;
        EXPECT_EQ(o.output.find("mounted"), std::string::npos) << route.label << ": it mounted";
        EXPECT_NE(access(sandbox.SetupPath("ran").c_str(), F_OK), 0) << route.label << ": the command ran";
    }
}

// A namespace of its own whose mounts are still shared with the one it came
// from: nothing the sandbox mounts may show there.
TEST(SandboxGuard, InnerStageMountsNothingIntoThePeerNamespace) {
    SandboxCase sandbox;
    sandbox.MakeDir("scratch");
    const Outcome o = RunUnshared("--mount --propagation private", sandbox.SetupPath("scratch"),
                                  "mount --make-rshared / && "
                                  "unshare --mount --propagation unchanged "
                                  "bash \"$sandbox\" --inside -- \"$scratch\" sh -c 'echo inside'; "
                                  "echo \"status $?\"; findmnt -n -M \"$scratch\" >/dev/null && echo leaked; "
                                  "findmnt -n -M /sys -t tmpfs >/dev/null && echo leaked; true");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_NE(o.output.find("inside\nstatus 0\n"), std::string::npos) << o.output;
    EXPECT_EQ(o.output.find("leaked"), std::string::npos) << o.output;
}

}  // namespace
