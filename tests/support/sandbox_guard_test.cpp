// The sandbox's inner stage given by hand, and the sandbox on a machine that
// holds files of its own at the fixed paths. Each case runs inside a mount
// namespace that the test itself made (through tests/private-mounts, so for
// an ordinary user inside a user namespace), so a sandbox that wrongly goes
// ahead mounts over that namespace's /etc, /var, /usr/lib and /sys, never the
// machine's, and the machine's files are laid in that namespace only.
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

// script run by bash in a private mount namespace, made with unshare's
// further OPTIONS; $sandbox and $scratch are set for it.
Outcome RunUnshared(const std::string& options, const std::string& scratch, const std::string& script) {
    const std::string line = "bash " + ShellQuote(FCHBA_PRIVATE_MOUNTS) + " " + options + " -- env sandbox=" +
                             ShellQuote(FCHBA_SANDBOX) + " scratch=" + ShellQuote(scratch) + " bash -c " +
                             ShellQuote(script) + " 2>&1";
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
        {"FromAShellOfTheNamespace", "", inner},
        {"EnteredIntoPidOnesNamespace", "--pid --fork --mount-proc",
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
    const Outcome o = RunUnshared("", sandbox.SetupPath("scratch"),
                                  "mount --make-rshared / && "
                                  "unshare --mount --propagation unchanged "
                                  "bash \"$sandbox\" --inside -- \"$scratch\" sh -c 'echo inside'; "
                                  "echo \"status $?\"; findmnt -n -M \"$scratch\" >/dev/null && echo leaked; "
                                  "findmnt -n -M /sys -t tmpfs >/dev/null && echo leaked; true");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_NE(o.output.find("inside\nstatus 0\n"), std::string::npos) << o.output;
    EXPECT_EQ(o.output.find("leaked"), std::string::npos) << o.output;
}

// script run in a namespace of the test's own, where "lay DIR" lays the
// files it put under $scratch/DIR over /DIR, as the machine's own. The
// layers are named relative to $scratch: a comma in the checkout's path would
// end an overlay option.
Outcome RunOnMachine(SandboxCase& sandbox, const std::string& script) {
    sandbox.MakeDir("scratch");
    return RunUnshared("", sandbox.SetupPath("scratch"),
                       "mount -t tmpfs machine \"$scratch\" && "
                       "lay() { mkdir -p \"$scratch/$1\" \"$scratch/$1.work\" && (cd \"$scratch\" && "
                       "mount -t overlay overlay -o \"lowerdir=/$1,upperdir=$1,workdir=$1.work\" \"/$1\"); } && " +
                           script);
}

// The machine's library list, vendor libraries and log are hidden from the
// command, the setup's files take their place, and the machine keeps its own.
TEST(SandboxLayers, HideTheMachinesOwnFilesAndLeaveThemAsTheyWere) {
    SandboxCase sandbox;
    sandbox.Write("etc/hba.conf", "setup\n");
    sandbox.Write("lib/cim/libemsdm.so", "setup\n");
    const std::string look =
        "for f in /etc/hba.conf /usr/lib/libqlsdm.so /lib/cim/libemsdm.so /var/orbil/Component.log; do "
        "[ -e \"$f\" ] && echo \"seen $f: $(cat \"$f\")\"; done; true";
    const Outcome o = RunOnMachine(
        sandbox,
        "mkdir -p \"$scratch/etc\" \"$scratch/usr/lib/cim\" \"$scratch/var/orbil\" && "
        "for f in etc/hba.conf usr/lib/libqlsdm.so usr/lib/cim/libemsdm.so var/orbil/Component.log; do "
        "echo machine > \"$scratch/$f\"; done && lay etc && lay usr/lib && lay var || exit 1\n"
        "echo '-- bare'; bash \"$sandbox\" -- sh -c " + ShellQuote(look) + "\n"
        "echo '-- no log folder'; bash \"$sandbox\" --no-orbil -- "
        "sh -c '[ -e /var/orbil ] && echo seen /var/orbil; mkdir /var/orbil && echo made'\n"
        "echo '-- setup'; bash \"$sandbox\" --setup " + ShellQuote(sandbox.SetupPath("")) + " -- sh -c " +
        ShellQuote(look) + "\n"
        "echo '-- machine'; " + look);
    EXPECT_EQ(o.output,
              "-- bare\n"
              "-- no log folder\n"
              "made\n"
              "-- setup\n"
              "seen /etc/hba.conf: setup\n"
              "seen /lib/cim/libemsdm.so: setup\n"
              "-- machine\n"
              "seen /etc/hba.conf: machine\n"
              "seen /usr/lib/libqlsdm.so: machine\n"
              "seen /lib/cim/libemsdm.so: machine\n"
              "seen /var/orbil/Component.log: machine\n");
}

// A vendor library whose folder links outside every folder the sandbox lays
// a layer over cannot be hidden by one: the sandbox refuses to run.
TEST(SandboxLayers, RefusesWhereTheMachinesFileLiesOutsideItsLayers) {
    SandboxCase sandbox;
    const Outcome o = RunOnMachine(
        sandbox,
        "mkdir -p \"$scratch/usr/lib\" \"$scratch/elsewhere\" && echo machine > \"$scratch/elsewhere/libqlsdm.so\" && "
        "ln -s \"$scratch/elsewhere\" \"$scratch/usr/lib/cim\" && lay usr/lib || exit 1\n"
        "bash \"$sandbox\" -- echo ran; echo \"status $?\"; "
        "ls \"$scratch/elsewhere\"; cat \"$scratch/elsewhere/libqlsdm.so\"");
    EXPECT_EQ(o.output,
              "sandbox: refusing to hide /lib/cim/libqlsdm.so: it does not lie in a sandbox layer\n"
              "status 99\n"
              "libqlsdm.so\n"
              "machine\n");
}

// Neither a TMPDIR nor a result folder below /var, which gets an overlay,
// keeps the sandbox from its layers or the caller from the results.
TEST(SandboxLayers, ResultsReachAFolderBelowVarWhateverTmpdirSays) {
    SandboxCase sandbox;
    const Outcome o = RunOnMachine(sandbox,
                                   "mkdir -p \"$scratch/var/tmp-here\" \"$scratch/var/results\" && lay var || exit 1\n"
                                   "TMPDIR=/var/tmp-here bash \"$sandbox\" --result /var/results -- "
                                   "sh -c 'echo out > out'; echo \"status $?\"; "
                                   "cat /var/results/status /var/results/work/out");
    EXPECT_EQ(o.output, "status 0\n0\nout\n");
}

}  // namespace
