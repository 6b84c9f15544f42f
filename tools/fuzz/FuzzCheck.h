#pragma once

#include <cstdio>
#include <cstdlib>

// Stops a fuzz run at the first input that breaks what must hold, naming the check, so that
// libFuzzer (or the stand-in driver) keeps the input that did it.
[[noreturn]] inline void fuzzCheckFailed(const char* check, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, check);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : fuzzCheckFailed(#condition, __FILE__, __LINE__))
