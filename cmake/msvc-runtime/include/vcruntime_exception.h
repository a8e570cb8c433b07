#pragma once

// std::exception and the allocation exceptions in the layout of the MSVC runtime: a vftable
// pointer, then the message and whether this object owns a copy of it. Catch clauses of a game
// built by Microsoft's compiler see exactly these objects, so the layout must not differ.
// The message copying lives in vcruntime140.dll.

#include <stddef.h>

extern "C" {
struct __std_exception_data {
    const char* what;
    bool ownsWhat;
};
__declspec(dllimport) void __cdecl __std_exception_copy(const __std_exception_data* from,
                                                        __std_exception_data* to);
__declspec(dllimport) void __cdecl __std_exception_destroy(__std_exception_data* data);
}

namespace std {

class exception {
public:
    exception() noexcept : data_() {}
    explicit exception(const char* message) noexcept : data_() {
        const __std_exception_data borrowed = {message, true};
        __std_exception_copy(&borrowed, &data_);
    }
    // A message of static storage, never copied.
    exception(const char* message, int) noexcept : data_() { data_.what = message; }
    exception(const exception& other) noexcept : data_() {
        __std_exception_copy(&other.data_, &data_);
    }
    exception& operator=(const exception& other) noexcept {
        if (this != &other) {
            __std_exception_destroy(&data_);
            __std_exception_copy(&other.data_, &data_);
        }
        return *this;
    }
    virtual ~exception() noexcept { __std_exception_destroy(&data_); }
    virtual const char* what() const { return data_.what ? data_.what : "Unknown exception"; }

private:
    __std_exception_data data_;
};

class bad_exception : public exception {
public:
    bad_exception() noexcept : exception("bad exception", 1) {}
};

class bad_alloc : public exception {
public:
    bad_alloc() noexcept : exception("bad allocation", 1) {}

private:
    friend class bad_array_new_length;
    explicit bad_alloc(const char* message) noexcept : exception(message, 1) {}
};

class bad_array_new_length : public bad_alloc {
public:
    bad_array_new_length() noexcept : bad_alloc("bad array new length") {}
};

}  // namespace std
