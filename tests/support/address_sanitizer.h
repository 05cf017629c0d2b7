// Whether this build runs under AddressSanitizer, for tests that cannot run
// there. gcc says so with __SANITIZE_ADDRESS__; clang only through
// __has_feature(address_sanitizer).
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define FCHBA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FCHBA_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef FCHBA_ADDRESS_SANITIZER
#define FCHBA_ADDRESS_SANITIZER 0
#endif

constexpr bool kAddressSanitizerBuild = FCHBA_ADDRESS_SANITIZER != 0;

// Why a test under an address-space limit does not run in this build.
constexpr const char* kNoAddressLimitUnderSanitizer =
    "AddressSanitizer reserves terabytes of address space, so the sanitizer build cannot run under "
    "an address-space limit; the plain build runs this";
