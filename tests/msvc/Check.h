#pragma once

// A small check helper for the test programs of the MSVC-ABI build, where GoogleTest does not
// build: each failed check prints where and what, the program goes on, and CheckResult gives
// the exit code.

namespace qz::msvctest {

/// Names the group of checks that follows in failure messages.
void CheckCase(const char* name);
/// Records one check; prints `expression` and the two values when it failed.
bool CheckRecord(bool passed, const char* file, int line, const char* expression,
                 unsigned long long actual, unsigned long long expected);
/// Compares once, so that an expression with side effects is evaluated once.
template <typename Actual, typename Expected>
bool CheckEqual(const Actual& actual, const Expected& expected, const char* file, int line,
                const char* expression) {
    return CheckRecord(actual == expected, file, line, expression,
                       static_cast<unsigned long long>(actual),
                       static_cast<unsigned long long>(expected));
}
/// Prints the tally; 0 when every check passed and at least one ran, 1 otherwise.
int CheckResult();

}  // namespace qz::msvctest

#define QZ_CHECK(condition) \
    ::qz::msvctest::CheckRecord(static_cast<bool>(condition), __FILE__, __LINE__, #condition, 1, 1)
#define QZ_CHECK_EQ(actual, expected) \
    ::qz::msvctest::CheckEqual((actual), (expected), __FILE__, __LINE__, #actual " == " #expected)
