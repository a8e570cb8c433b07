#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the fuzz run at a broken property, naming it; libFuzzer then saves the input.
#define QZ_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
