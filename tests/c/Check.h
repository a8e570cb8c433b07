#ifndef QZ_TESTS_C_CHECK_H
#define QZ_TESTS_C_CHECK_H

/* Checks for the plain C test programs, which run in every build (also the MSVC-ABI one, which
 * has no GoogleTest): a failed check prints where and what and the program goes on;
 * check_result prints "N passed, M failed" and gives the exit code. */

#include <stdint.h>

/* Names the group of checks that follows in failure messages. */
void check_case(const char* name);
/* Records one check; prints `expression` and the two values when it failed. Gives `passed`. */
int check_record(int passed, const char* file, int line, const char* expression, uint64_t actual,
                 uint64_t expected);
/* Records whether `actual` equals `expected`, evaluated once each. */
int check_equal(uint64_t actual, uint64_t expected, const char* file, int line,
                const char* expression);
/* Whether the 0-terminated UTF-16 `text` holds exactly the ASCII `expected`. */
int check_same_text(const uint16_t* text, const char* expected);
/* Prints the tally; 0 when every check passed and at least one ran, 1 otherwise. */
int check_result(void);

#define CHECK(condition) check_record((condition) != 0, __FILE__, __LINE__, #condition, 1, 1)
#define CHECK_EQ(actual, expected)                                            \
    check_equal((uint64_t)(actual), (uint64_t)(expected), __FILE__, __LINE__, \
                #actual " == " #expected)

#endif
