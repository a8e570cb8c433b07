#pragma once

#include "DllLoader.h"

namespace qz::veltoclient {

// Every exported operation but the constructor reaches the service library the same way: it
// tests its first argument (the client's session, or a handle's service-side handle), then the
// entry pointer, and only then calls; otherwise it has a fixed neutral result. The binding is
// fetched for each test and call, never cached.

/// A pointer to one of the binding's entry pointers, such as &DllLoader::Update.
template <typename Entry>
using EntryField = Entry DllLoader::*;

/// Whether an operation on `handle` may call `entry`: the handle first, then the entry pointer.
template <typename Entry>
bool CanForward(const void* handle, EntryField<Entry> entry) {
    return handle != nullptr && DllLoader::GetInstance()->*entry != nullptr;
}

/// Calls `entry` with `handle` and `arguments` when CanForward allows it, else returns
/// `fallback`.
template <typename Result, typename Entry, typename... Arguments>
Result ForwardOr(Result fallback, void* handle, EntryField<Entry> entry, Arguments... arguments) {
    if (!CanForward(handle, entry)) {
        return fallback;
    }
    return (DllLoader::GetInstance()->*entry)(handle, arguments...);
}

/// The same for entry points without a result: nothing happens when the call can't be made.
template <typename Entry, typename... Arguments>
void Forward(void* handle, EntryField<Entry> entry, Arguments... arguments) {
    if (CanForward(handle, entry)) {
        (DllLoader::GetInstance()->*entry)(handle, arguments...);
    }
}

}  // namespace qz::veltoclient
