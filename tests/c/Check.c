#include "Check.h"

#include <stdio.h>

static const char* current_case = "(none)";
static unsigned int passed_count;
static unsigned int failed_count;

void check_case(const char* name) {
    current_case = name;
}

int check_record(int passed, const char* file, int line, const char* expression, uint64_t actual,
                 uint64_t expected) {
    if (passed) {
        ++passed_count;
        return 1;
    }
    ++failed_count;
    printf("%s:%d: [%s] failed: %s (got %llu, expected %llu)\n", file, line, current_case,
           expression, (unsigned long long)actual, (unsigned long long)expected);
    return 0;
}

int check_equal(uint64_t actual, uint64_t expected, const char* file, int line,
                const char* expression) {
    return check_record(actual == expected, file, line, expression, actual, expected);
}

int check_same_text(const uint16_t* text, const char* expected) {
    if (text == NULL) {
        return 0;
    }
    for (; *expected != '\0'; ++text, ++expected) {
        if (*text != (unsigned char)*expected) {
            return 0;
        }
    }
    return *text == 0;
}

int check_result(void) {
    printf("%u passed, %u failed\n", passed_count, failed_count);
    fflush(stdout);
    return failed_count == 0 && passed_count > 0 ? 0 : 1;
}
