#pragma once
// A check that stays on in every build: the fuzzer reports the abort as a crash, with the
// input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                          \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
