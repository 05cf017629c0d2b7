#pragma once
// The limit helper's wrapper of pthread_create, put in place by the linker,
// which every thread the engine starts goes through: it counts the starts,
// and on request refuses them or holds each new thread before it runs until
// released.

#include <pthread.h>

namespace thread_starts {

enum class Mode { Allow, Refuse, Hold };

void setMode(Mode mode);
// Threads started since the last reset.
int count();
void resetCount();
// Hold mode: waits until a held thread is about to run, then lets it go.
void awaitHeld();
void releaseHeld();

}  // namespace thread_starts
