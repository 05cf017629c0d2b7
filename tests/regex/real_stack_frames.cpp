// Linked into the engine's test programs, which measure and exhaust stacks:
// under AddressSanitizer every local stays in its frame on the real stack,
// where the engine's stack limit counts it, whatever the compiler's default.
// On the sanitizer's fake stack (detect_stack_use_after_return, which newer
// clang turns on) the real frames shrink, and a recursion deeper than the
// fake stack holds makes every further call scan all of its slots before
// falling back to the real stack: a parse of 100,000 levels takes minutes.
// ASAN_OPTIONS, when it names the option, still decides.

extern "C" const char* __asan_default_options() { return "detect_stack_use_after_return=0"; }
