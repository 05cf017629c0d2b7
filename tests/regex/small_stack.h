#pragma once
// Runs a check on a thread of its own whose stack has only the given size,
// where a deep match or parse outgrows its caller's stack at once.

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>

inline void onSmallStack(std::size_t stackBytes, void (*check)()) {
  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, stackBytes), 0);
  pthread_t thread;
  auto run = [](void* f) -> void* {
    reinterpret_cast<void (*)()>(f)();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, reinterpret_cast<void*>(check)), 0);
  pthread_attr_destroy(&attributes);
  pthread_join(thread, nullptr);
}
