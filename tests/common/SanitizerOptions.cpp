// Under AddressSanitizer a heap request too large to satisfy returns null instead of stopping
// the program inside the sanitizer, so the death tests reach the arrays' own FatalError path.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QZ_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QZ_TEST_ASAN 1
#endif

#ifdef QZ_TEST_ASAN
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
#endif
