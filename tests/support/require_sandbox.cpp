// Linked into every test binary that writes the component's fixed paths
// (/etc, /var/orbil, library folders, /sys): outside tests/sandbox it stops
// before any test runs, so the real machine is never touched.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class RequireSandbox : public ::testing::Environment {
public:
    void SetUp() override {
        if (std::getenv("FCHBA_IN_SANDBOX")) return;
        std::fprintf(stderr, "these tests write the machine's fixed paths and run only inside tests/sandbox\n");
        std::exit(99);
    }
};

::testing::Environment* const kRequireSandbox = ::testing::AddGlobalTestEnvironment(new RequireSandbox);

}  // namespace
