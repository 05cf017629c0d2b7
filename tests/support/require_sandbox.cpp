// The main of every test binary that writes the component's fixed paths
// (/etc, /var/orbil, library folders, /sys): outside tests/sandbox it starts
// itself again inside one, so the real machine is never touched, and where no
// sandbox can be made its reason fails the tests. Listing the tests needs no
// sandbox.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool AsksForTheList(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
    return false;
}

// Replaces this process by the sandbox running this binary with the same
// arguments; returns only when that cannot be done.
void RestartInSandbox(int argc, char** argv) {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length < 0 || length >= static_cast<ssize_t>(sizeof self) - 1) {
        std::fprintf(stderr, "cannot find this test binary to start it in tests/sandbox: %s\n",
                     length < 0 ? std::strerror(errno) : "its path is too long");
        return;
    }
    self[length] = '\0';
    std::vector<char*> arguments{const_cast<char*>(FCHBA_SANDBOX), const_cast<char*>("--"), self};
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    arguments.push_back(nullptr);
    execv(FCHBA_SANDBOX, arguments.data());
    std::fprintf(stderr, "cannot start tests/sandbox (%s): %s\n", FCHBA_SANDBOX, std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("FCHBA_IN_SANDBOX") && !AsksForTheList(argc, argv)) {
        RestartInSandbox(argc, argv);
        return 99;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
