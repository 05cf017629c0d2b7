#pragma once
// Where the limit helper runs its case: on the main thread, on a thread of a
// given stack size, on a fiber, without /proc, or in the helper started again
// with a large environment. A place is one of
//
//   main                the main thread
//   thread:KB           a thread with a stack of KB
//   fiber:KB:FROM:SIDE  a makecontext stack of KB, entered from FROM ("main",
//                       or "thread": a thread of 256 KB), lying just above or
//                       just below (SIDE "above" or "below") FROM's stack;
//                       below the main thread's is where mmap puts it
//   no-proc:PLACE       PLACE with an empty /proc, in a mount namespace of
//                       its own (for an ordinary user, in a user namespace);
//                       the real one is uncovered again afterwards, for the
//                       sanitizer's leak check at exit
//   large-env:PLACE     PLACE in the helper started again with 140 KB more
//                       of environment
//   large-env:KB:PLACE  the same with KB more

#include <string>

namespace helper_places {

// Notes what the places need of the process as it started: its arguments,
// and the top of the main thread's stack. Called first thing in main.
void noteStart(char** argv);

// Runs run(context) at place; "" when it ran, else why it could not. A
// large-env place starts the helper again and does not return.
std::string runAt(const std::string& place, void (*run)(void*), void* context);

}  // namespace helper_places
