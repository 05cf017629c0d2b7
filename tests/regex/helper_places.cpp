#include "helper_places.h"

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace helper_places {
namespace {

constexpr std::size_t KB = 1024;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kEntryThreadStack = 256 * KB;

char** startArguments;
std::uintptr_t mainStackEnd;

struct Work {
  void (*run)(void*);
  void* context;
};

// The end of the mapping the kernel calls "[stack]", from /proc/self/maps.
std::uintptr_t mainStackMappingEnd() {
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  if (!maps) return 0;
  char line[4096];
  unsigned long from = 0, to = 0;
  bool found = false;
  while (!found && std::fgets(line, sizeof line, maps))
    found = std::strstr(line, "[stack]") && std::sscanf(line, "%lx-%lx", &from, &to) == 2;
  std::fclose(maps);
  return found ? to : 0;
}

bool startsWith(const std::string& text, const char* prefix, std::string& rest) {
  const std::size_t length = std::strlen(prefix);
  if (text.compare(0, length, prefix) != 0) return false;
  rest = text.substr(length);
  return true;
}

void* runWork(void* work) {
  static_cast<Work*>(work)->run(static_cast<Work*>(work)->context);
  return nullptr;
}

// Runs start on a thread whose stack is the given memory, or of the given size.
bool runThread(void* (*start)(void*), void* argument, void* stack, std::size_t stackBytes) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  const int set = stack ? pthread_attr_setstack(&attributes, stack, stackBytes)
                        : pthread_attr_setstacksize(&attributes, stackBytes);
  pthread_t thread;
  const bool started = set == 0 && pthread_create(&thread, &attributes, start, argument) == 0;
  pthread_attr_destroy(&attributes);
  if (started) pthread_join(thread, nullptr);
  return started;
}

// The fiber being entered, for makecontext's function, which takes no argument.
struct Fiber {
  ucontext_t entry;
  ucontext_t own;
  Work work;
};
Fiber* enteredFiber;

void runFiberWork() { enteredFiber->work.run(enteredFiber->work.context); }

void enterFiber(Fiber& fiber, char* stack, std::size_t stackBytes) {
  getcontext(&fiber.own);
  fiber.own.uc_stack.ss_sp = stack;
  fiber.own.uc_stack.ss_size = stackBytes;
  fiber.own.uc_link = &fiber.entry;
  enteredFiber = &fiber;
  makecontext(&fiber.own, runFiberWork, 0);
  swapcontext(&fiber.entry, &fiber.own);
}

struct FromThread {
  Fiber* fiber;
  char* stack;
  std::size_t stackBytes;
};

void* enterFiberFromThread(void* argument) {
  FromThread& from = *static_cast<FromThread*>(argument);
  enterFiber(*from.fiber, from.stack, from.stackBytes);
  return nullptr;
}

// Memory for stacks, inaccessible but where made usable, so that running
// off a stack faults at once.
char* reserve(std::size_t bytes, void* at) {
  void* mapping = mmap(at, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | (at ? MAP_FIXED_NOREPLACE : 0), -1, 0);
  if (mapping == MAP_FAILED || (at && mapping != at)) return nullptr;
  return static_cast<char*>(mapping);
}

bool makeUsable(char* stack, std::size_t bytes) { return mprotect(stack, bytes, PROT_READ | PROT_WRITE) == 0; }

// The main thread's fiber: above its stack, a guard page on or at the first
// free megabyte after (something else may lie right above, such as the
// vDSO), or where mmap puts it, which lies below.
std::string fiberFromMain(Fiber& fiber, std::size_t fiberBytes, bool above) {
  if (above && !mainStackEnd) return "main stack not found";
  const std::size_t size = kPage + fiberBytes;
  char* mapping = above ? nullptr : reserve(size, nullptr);
  for (std::size_t tries = 0; above && !mapping && tries < 16; ++tries)
    mapping = reserve(size, reinterpret_cast<void*>(mainStackEnd + kPage + tries * 1024 * KB));
  if (!mapping) return "no fiber stack";
  if (!makeUsable(mapping + kPage, fiberBytes)) return "no fiber stack";
  enterFiber(fiber, mapping + kPage, fiberBytes);
  munmap(mapping, size);
  return "";
}

// One mapping holds the thread's stack and the fiber's, a guard page below
// each.
std::string fiberFromThread(Fiber& fiber, std::size_t fiberBytes, bool above) {
  const std::size_t size = 2 * kPage + kEntryThreadStack + fiberBytes;
  char* mapping = reserve(size, nullptr);
  if (!mapping) return "no fiber stack";
  char* low = mapping + kPage;
  char* high = low + (above ? kEntryThreadStack : fiberBytes) + kPage;
  FromThread from{&fiber, above ? high : low, fiberBytes};
  char* threadStack = above ? low : high;
  const bool ran = makeUsable(threadStack, kEntryThreadStack) && makeUsable(from.stack, fiberBytes) &&
                   runThread(enterFiberFromThread, &from, threadStack, kEntryThreadStack);
  munmap(mapping, size);
  return ran ? "" : "no thread";
}

// "KB:FROM:SIDE"
std::string runOnFiber(const std::string& spec, Work& work) {
  char from[16] = "";
  char side[16] = "";
  unsigned long kilobytes = 0;
  if (std::sscanf(spec.c_str(), "%lu:%15[a-z]:%15[a-z]", &kilobytes, from, side) != 3) return "unknown place";
  const std::string entry = from;
  const bool above = std::string(side) == "above";
  if ((entry != "main" && entry != "thread") || (!above && std::string(side) != "below")) return "unknown place";
  Fiber fiber{};
  fiber.work = work;
  return entry == "main" ? fiberFromMain(fiber, kilobytes * KB, above) : fiberFromThread(fiber, kilobytes * KB, above);
}

bool writeProcFile(const char* path, const std::string& text) {
  const int file = open(path, O_WRONLY | O_CLOEXEC);
  if (file < 0) return false;
  const bool written = write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  const int writeError = errno;
  close(file);
  errno = writeError;
  return written;
}

// A mount namespace of its own; where that is not allowed (an ordinary
// user), inside a user namespace of its own, this process mapped to root
// there. That takes a single thread: every no-proc place starts on the main
// one, before any other.
std::string ownMountNamespace() {
  if (unshare(CLONE_NEWNS) == 0) return "";
  const std::string plain = std::strerror(errno);
  // The kernel's ids: a preloaded fakeroot would answer 0 for them.
  const std::string uid = std::to_string(syscall(SYS_getuid));
  const std::string gid = std::to_string(syscall(SYS_getgid));
  if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
    return "no mount namespace: " + plain + "; nor in a user namespace: " + std::strerror(errno);
  if (!writeProcFile("/proc/self/setgroups", "deny") || !writeProcFile("/proc/self/uid_map", "0 " + uid + " 1") ||
      !writeProcFile("/proc/self/gid_map", "0 " + gid + " 1"))
    return std::string("no ids in the user namespace: ") + std::strerror(errno);
  return "";
}

std::string withoutProc(const std::string& place, Work& work) {
  const std::string unshared = ownMountNamespace();
  if (!unshared.empty()) return unshared;
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
    return std::string("no empty /proc: ") + std::strerror(errno);
  const std::string outcome = runAt(place, work.run, work.context);
  umount("/proc");
  return outcome;
}

// "KB:PLACE" gives KB and PLACE, "PLACE" the usual 140 KB.
std::size_t environmentBytes(std::string& rest) {
  char* end = nullptr;
  const unsigned long kilobytes = std::strtoul(rest.c_str(), &end, 10);
  if (end == rest.c_str() || *end != ':') return 140 * KB;
  rest.erase(0, static_cast<std::size_t>(end + 1 - rest.c_str()));
  return kilobytes * KB;
}

// Starts the helper again with bytes more of environment, its place
// argument replaced by the rest. No variable may exceed 128 KB.
std::string withLargeEnvironment(const std::string& place, std::string rest) {
  constexpr std::size_t kVariableBytes = 100 * KB;
  std::vector<std::string> pads;
  for (std::size_t left = environmentBytes(rest); left > 0;) {
    const std::size_t bytes = std::min(left, kVariableBytes);
    pads.push_back("FCHBA_PAD_" + std::to_string(pads.size()) + "=" + std::string(bytes, 'x'));
    left -= bytes;
  }
  std::vector<char*> arguments;
  for (char** argument = startArguments; *argument; ++argument)
    arguments.push_back(place == *argument ? &rest[0] : *argument);
  arguments.push_back(nullptr);
  std::vector<char*> environment;
  for (char** variable = environ; *variable; ++variable) environment.push_back(*variable);
  for (std::string& pad : pads) environment.push_back(&pad[0]);
  environment.push_back(nullptr);
  execve(arguments[0], arguments.data(), environment.data());
  return std::string("not started again: ") + std::strerror(errno);
}

}  // namespace

void noteStart(char** argv) {
  startArguments = argv;
  mainStackEnd = mainStackMappingEnd();
}

std::string runAt(const std::string& place, void (*run)(void*), void* context) {
  Work work{run, context};
  std::string rest;
  if (place == "main") {
    run(context);
    return "";
  }
  if (startsWith(place, "thread:", rest))
    return runThread(runWork, &work, nullptr, std::strtoul(rest.c_str(), nullptr, 10) * KB) ? "" : "no thread";
  if (startsWith(place, "fiber:", rest)) return runOnFiber(rest, work);
  if (startsWith(place, "no-proc:", rest)) return withoutProc(rest, work);
  if (startsWith(place, "large-env:", rest)) return withLargeEnvironment(place, rest);
  return "unknown place";
}

}  // namespace helper_places
