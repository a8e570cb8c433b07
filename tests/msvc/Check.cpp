#include "Check.h"

#include <cstdio>

namespace qz::msvctest {
namespace {
const char* currentCase = "";
unsigned int checks = 0;
unsigned int failures = 0;
}  // namespace

void CheckCase(const char* name) {
    currentCase = name;
}

bool CheckRecord(bool passed, const char* file, int line, const char* expression,
                 unsigned long long actual, unsigned long long expected) {
    ++checks;
    if (!passed) {
        ++failures;
        std::printf("%s(%d): [%s] failed: %s (got 0x%llx, expected 0x%llx)\n", file, line,
                    currentCase, expression, actual, expected);
    }
    return passed;
}

int CheckResult() {
    std::printf("%u checks, %u failed\n", checks, failures);
    std::fflush(stdout);
    return failures == 0 && checks > 0 ? 0 : 1;
}

}  // namespace qz::msvctest
