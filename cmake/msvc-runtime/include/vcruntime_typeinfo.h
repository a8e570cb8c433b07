#pragma once

// std::type_info in the layout of the MSVC runtime: a vftable pointer, the undecorated name
// (filled in on first use of name()) and the decorated name. Comparison and naming live in
// vcruntime140.dll; the vftable itself and the list of undecorated names belong to each module
// (TypeInfo.c of this runtime).

#include <stddef.h>

#include <exception>

extern "C" {
struct __std_type_info_data {
    const char* undecoratedName;
    const char decoratedName[1];
};
struct __type_info_node;
extern __type_info_node __type_info_root_node;
__declspec(dllimport) int __cdecl __std_type_info_compare(const __std_type_info_data* left,
                                                          const __std_type_info_data* right);
__declspec(dllimport) size_t __cdecl __std_type_info_hash(const __std_type_info_data* data);
__declspec(dllimport) const
    char* __cdecl __std_type_info_name(__std_type_info_data* data, __type_info_node* names);
}

class type_info {
public:
    type_info(const type_info&) = delete;
    type_info& operator=(const type_info&) = delete;

    size_t hash_code() const noexcept { return __std_type_info_hash(&data_); }
    bool operator==(const type_info& other) const noexcept {
        return __std_type_info_compare(&data_, &other.data_) == 0;
    }
    bool operator!=(const type_info& other) const noexcept {
        return __std_type_info_compare(&data_, &other.data_) != 0;
    }
    bool before(const type_info& other) const noexcept {
        return __std_type_info_compare(&data_, &other.data_) < 0;
    }
    const char* name() const noexcept {
        return __std_type_info_name(&data_, &__type_info_root_node);
    }
    const char* raw_name() const noexcept { return data_.decoratedName; }
    virtual ~type_info() noexcept;

private:
    mutable __std_type_info_data data_;
};

namespace std {

using ::type_info;

class bad_cast : public exception {
public:
    bad_cast() noexcept : exception("bad cast", 1) {}
};

class bad_typeid : public exception {
public:
    bad_typeid() noexcept : exception("bad typeid", 1) {}
};

}  // namespace std
