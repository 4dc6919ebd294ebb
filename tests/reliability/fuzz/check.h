#pragma once
#include <cstdio>
#include <cstdlib>

// A property that does not hold: say which and abort, so libFuzzer keeps the input and the
// replay test fails on it.
#define FUZZ_REQUIRE(cond, what) ((cond) ? void() : fuzzFailed(#cond, what, __FILE__, __LINE__))

[[noreturn]] inline void fuzzFailed(const char* cond, const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: %s (%s)\n", file, line, what, cond);
    std::abort();
}
