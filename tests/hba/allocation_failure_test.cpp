// An adapter object that cannot be allocated ends the enumeration: status 2,
// no message, and the adapters read before it are still recorded. This
// binary replaces the global allocator to make exactly that allocation fail.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "fake_hba_world.h"
#include "fchba_discovery.h"
#include "fchba_mra.h"
#include "hba_api.h"

namespace {

// Allocations of this size still allowed before one fails; negative: none fails.
size_t failingSize = 0;
int allowedBeforeFailure = -1;

}  // namespace

// The replacement pair allocates with malloc and frees with free, which the
// compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    if (size == failingSize && allowedBeforeFailure >= 0 && allowedBeforeFailure-- == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

class AllocationFailure : public ::testing::Test {
protected:
    void SetUp() override {
        world.InstallLibrary("/usr/lib/libqlsdm.so", "adapter qlogic-a\nadapter qlogic-b\nadapter qlogic-c\n");
        world.WriteHbaConf("ql\t/usr/lib/libqlsdm.so\n");
    }
    void TearDown() override {
        allowedBeforeFailure = -1;
        HBA_FreeLibrary();
    }
    // The adapter object after `allowed` others cannot be allocated.
    static void FailAdapterAfter(int allowed) {
        failingSize = sizeof(FcHbaAdapter);
        allowedBeforeFailure = allowed;
    }

    FakeHbaWorld world;
};

TEST_F(AllocationFailure, EnumeratorReportsStatusTwoAndNoAdapter) {
    FcHbaMRA enumerator;
    uint32_t status = 99;
    FcHbaAdapter* first = enumerator.GetFirstAdapter(&status);
    ASSERT_NE(first, nullptr);
    FailAdapterAfter(0);
    EXPECT_EQ(enumerator.GetNextAdapter(first, &status), nullptr);
    EXPECT_EQ(status, 2u);
    delete first;
}

TEST_F(AllocationFailure, DiscoveryKeepsTheAdaptersReadBefore) {
    FcHbaDiscovery discovery;
    FailAdapterAfter(1);
    ::testing::internal::CaptureStdout();
    discovery.Discover();
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(discovery.records.size(), 1u);
    EXPECT_STREQ(discovery.records[0]->Model, "FAKE-qlogic-a");
}

}  // namespace
