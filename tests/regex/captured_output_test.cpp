// The capture that the regex tests read reports through: what it collects
// stops at its cap, and the file size limit it sets is put back as it was.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cstddef>
#include <cstdlib>

#include "captured_output.h"

namespace {

rlimit fileSizeLimit() {
  rlimit limit{};
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0) << std::strerror(errno);
  return limit;
}

// A fault that repeats a report without end must not fill the disk with
// capture files: what is captured stops at the cap, and the writes past it
// fail instead of ending the process. A cap of its own proves it in a blink.
TEST(CapturedOutput, StopsAtItsCap) {
  const rlim_t cap = 64 << 10;
  const std::string block(1000, 'r');
  const std::string written = stderrOf(
      [&] {
        for (int i = 0; i < 100; ++i) std::fwrite(block.data(), 1, block.size(), stderr);
      },
      cap);
  EXPECT_EQ(written, std::string(cap, 'r'));
}

// Unless a test sets its own, the cap is 256 MB (or the lower limit already
// in force).
TEST(CapturedOutput, HoldsTheSuiteTo256MB) {
  const rlimit before = fileSizeLimit();
  rlimit during{};
  stderrOf([&] { during = fileSizeLimit(); });
  EXPECT_EQ(during.rlim_cur, std::min(before.rlim_cur, rlim_t{256} << 20));
  EXPECT_EQ(during.rlim_max, before.rlim_max);
}

// The limit in force before the capture is in force again after it; the cap
// is set below it, so that a limit left behind shows.
TEST(CapturedOutput, PutsTheLimitBack) {
  const rlimit before = fileSizeLimit();
  const rlim_t cap = std::min(before.rlim_cur, kCaptureCap) / 2;
  rlimit during{};
  stderrOf([&] { during = fileSizeLimit(); }, cap);
  EXPECT_EQ(during.rlim_cur, cap);
  const rlimit after = fileSizeLimit();
  EXPECT_EQ(after.rlim_cur, before.rlim_cur);
  EXPECT_EQ(after.rlim_max, before.rlim_max);
}

// From here on, every query of a resource limit in this process fails with
// EPERM; setting one still works. The filter checks the call's number only:
// this process makes no calls of another architecture.
bool failLimitQueries() {
  const std::size_t newLimit = offsetof(seccomp_data, args) + 2 * sizeof(__u64);
  sock_filter program[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_getrlimit, 6, 0),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_prlimit64, 0, 4),
      // prlimit64 with no new limit (both words of its third argument 0) queries.
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<__u32>(newLimit)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0, 0, 2),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, static_cast<__u32>(newLimit + 4)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
  };
  const sock_fprog filter{static_cast<unsigned short>(sizeof program / sizeof program[0]), program};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// Where the limit in force cannot be read, the capture sets none and puts
// none back (the unread limit would be zero, and no file could be written
// after it): it fails the test, keeps what the code wrote, and the process
// still writes files afterwards. (The death test holds standard error
// itself, so the child captures standard output.)
TEST(CapturedOutputDeathTest, UnreadableLimitIsLeftAsItWas) {
  EXPECT_EXIT(
      {
        if (!failLimitQueries()) std::_Exit(2);
        const std::string written = stdoutOf([] { std::fputs("report", stdout); });
        const bool said = testing::Test::HasFailure() && written == "report";
        std::FILE* file = std::tmpfile();
        const bool wrote = file && std::fputs("x", file) >= 0 && std::fflush(file) == 0;
        std::_Exit(!wrote ? 1 : said ? 0 : 3);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
