#pragma once

#include <string>
#include <vector>

#include "common/HashTable.h"
#include "common/HybridArray.h"

namespace qz::common::testing {

/// A class element type: its default constructor leaves a recognisable mark, and its copy
/// operations are user-written, so the arrays must go through them instead of block copies.
struct Tracked {
    int value;

    Tracked() : value(-1) {}
    explicit Tracked(int v) : value(v) {}
    Tracked(const Tracked& other) : value(other.value) {}
    Tracked& operator=(const Tracked& other) {
        value = other.value;
        return *this;
    }
};

/// Stand-in for the listener interfaces whose pointers the request tables store.
struct Listener {
    int id;
};

using ListenerTable = HashTable<unsigned int, Listener*, StandardHashHelper<unsigned int>>;
using Slot = ListenerTable::KeyItem;

/// One listener per small id, so a slot's value can be checked against its key.
inline Listener* ListenerFor(int id) {
    static Listener listeners[256];
    listeners[id].id = id;
    return &listeners[id];
}

/// Builds the element numbered `id` (0..99) of each tested element type and reads the number
/// back. Id reports -2 for an element whose parts disagree (a corrupted copy) and -1 for a
/// default-constructed class element.
template <typename T>
struct Elements {
    static T Make(int id) { return static_cast<T>(id + 1); }
    static int Id(const T& element) { return static_cast<int>(element) - 1; }
};

template <>
struct Elements<Tracked> {
    static Tracked Make(int id) { return Tracked(id); }
    static int Id(const Tracked& element) { return element.value; }
};

template <>
struct Elements<Slot> {
    static Slot Make(int id) { return Slot(static_cast<unsigned int>(id), ListenerFor(id)); }
    static int Id(const Slot& element) {
        if (!element.inUse) {
            return -1;
        }
        const int id = static_cast<int>(element.key);
        return element.value == ListenerFor(id) ? id : -2;
    }
};

/// The ids of the array's elements, in order.
template <typename T>
std::vector<int> Ids(IArray<T>& array) {
    std::vector<int> ids;
    for (unsigned int i = 0; i < array.GetSize(); ++i) {
        ids.push_back(Elements<T>::Id(array.At(i)));
    }
    return ids;
}

/// Appends the elements with the given ids.
template <typename T>
void Append(IArray<T>& array, const std::vector<int>& ids) {
    for (int id : ids) {
        array.Add(Elements<T>::Make(id));
    }
}

}  // namespace qz::common::testing
