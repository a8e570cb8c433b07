#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "common/FatalError.h"
#include "common/IArray.h"
#include "common/StandardDataHelper.h"

namespace qz::common {

/// Growable contiguous array. Storage starts inside the object (N elements) and moves to a
/// block from the C heap (`malloc`/`free`) when it grows; capacity goes 1, 2, 4, 8, ... from
/// an empty array and doubles from the current capacity afterwards. It never shrinks.
///
/// Element types are plain values that own nothing: no element destructor ever runs.
/// Every broken precondition (an index out of range, `Pop` on an empty array) and every growth
/// that cannot be satisfied (allocation failure, capacity or byte size overflow) ends the
/// process through `FatalError`.
///
/// Unlike a naive growable array, `Add`, `AddRange` and `Insert` accept elements that live in
/// the array itself: the source is read before the old block is released.
template <typename T, unsigned int N = 0, typename Helper = StandardDataHelper<T>>
class HybridArray : public IArray<T> {
public:
    using IArray<T>::AddRange;

    HybridArray() = default;
    HybridArray(const HybridArray& other) : HybridArray() { AddRange(other); }
    ~HybridArray() override {
        size = 0;
        std::free(heapData);
    }

    HybridArray& operator=(const HybridArray& other) {
        IArray<T>::operator=(other);
        return *this;
    }
    HybridArray& operator=(const IArray<T>& other) {
        IArray<T>::operator=(other);
        return *this;
    }

    void AddRange(const T* items, unsigned int count) override {
        if (count > UINT_MAX - size) {
            FatalError();
        }
        // A range inside our own storage is found again by position once growth moved it.
        const T* const data = GetData();
        const bool ownStorage = Contains(items);
        const std::ptrdiff_t offset = ownStorage ? items - data : 0;
        this->Reserve(size + count);
        if (capacity < size + count) {
            FatalError();
        }
        if (ownStorage) {
            items = GetData() + offset;
        }
        const unsigned int oldSize = size;
        SetSize(oldSize + count);
        Helper::Copy(GetData() + oldSize, items, static_cast<int>(count));
    }

    unsigned int Add(const T& item) override {
        if (size == UINT_MAX) {
            FatalError();
        }
        const T copy(item);  // `item` may live in the block that growth releases
        Reallocate(size + 1);
        const unsigned int oldSize = size;
        SetSize(oldSize + 1);
        Helper::Copy(GetData() + oldSize, &copy, 1);
        return oldSize;
    }

    void RemoveAt(unsigned int index) override {
        CheckIndex(index);
        Helper::Move(GetData(), static_cast<int>(index), static_cast<int>(index + 1),
                     static_cast<int>(size - index - 1));
        SetSize(size - 1);
    }

    void RemoveAtFast(unsigned int index) override {
        CheckIndex(index);
        T* const data = GetData();
        if (index != size - 1) {
            data[index] = data[size - 1];
        }
        SetSize(size - 1);
    }

    void RemoveFirst(unsigned int count) override {
        if (count >= size) {
            Clear();
            return;
        }
        Helper::Move(GetData(), 0, static_cast<int>(count), static_cast<int>(size - count));
        SetSize(size - count);
    }

    T Pop() override {
        if (size == 0) {
            FatalError();
        }
        T last(GetData()[size - 1]);
        SetSize(size - 1);
        return last;
    }

    void Clear() override { SetSize(0); }

    void Truncate(unsigned int newSize) override {
        if (newSize <= size) {
            SetSize(newSize);
        }
    }

    void Reserve(unsigned int newCapacity) override { Reallocate(newCapacity); }

    unsigned int GetSize() const override { return size; }

    T* GetData() override { return heapData != nullptr ? heapData : InlineData(); }

    const T& At(unsigned int index) const override {
        CheckIndex(index);
        return heapData != nullptr ? heapData[index] : ConstInlineData()[index];
    }

    T& At(unsigned int index) override {
        CheckIndex(index);
        return GetData()[index];
    }

    /// Number of elements the current storage holds.
    unsigned int GetCapacity() const { return capacity; }

    /// Grows or shrinks to `newSize` elements; new elements are default-constructed (built-in
    /// element types keep whatever the memory held).
    void Resize(unsigned int newSize) {
        this->Reserve(newSize);
        SetSize(newSize);
    }

    /// Inserts a copy of `item` before `index` (clamped to the size) and returns the position.
    unsigned int Insert(const T& item, unsigned int index) {
        if (size == UINT_MAX) {
            FatalError();
        }
        const T copy(item);
        Reallocate(size + 1);
        if (index > size) {
            index = size;
        }
        const unsigned int oldSize = size;
        SetSize(oldSize + 1);
        T* const data = GetData();
        if constexpr (Helper::kBlockCopy) {
            Helper::Move(data, static_cast<int>(index + 1), static_cast<int>(index),
                         static_cast<int>(oldSize - index));
        } else {
            // Upward shift: assign from the top down so nothing is overwritten before it moves.
            for (unsigned int i = oldSize; i > index; --i) {
                data[i] = data[i - 1];
            }
        }
        data[index] = copy;
        return index;
    }

private:
    void Reallocate(unsigned int required) {
        if (required <= capacity) {
            return;
        }
        unsigned int newCapacity = capacity > 1 ? capacity : 1;
        while (newCapacity < required) {
            if (newCapacity > UINT_MAX / 2) {
                FatalError();
            }
            newCapacity *= 2;
        }
        if (newCapacity > SIZE_MAX / sizeof(T)) {
            FatalError();
        }
        T* const block = static_cast<T*>(std::malloc(newCapacity * sizeof(T)));
        if (block == nullptr) {
            FatalError();
        }
        Helper::Construct(block, size);
        Helper::Copy(block, GetData(), static_cast<int>(size));
        std::free(heapData);
        heapData = block;
        capacity = newCapacity;
    }

    void SetSize(unsigned int newSize) {
        if (newSize > capacity) {
            FatalError();
        }
        if (newSize > size) {
            Helper::Construct(GetData() + size, newSize - size);
        }
        size = newSize;
    }

    void CheckIndex(unsigned int index) const {
        if (index >= size) {
            FatalError();
        }
    }

    bool Contains(const T* item) {
        const T* const data = GetData();
        const std::less<const T*> before;
        return size != 0 && !before(item, data) && before(item, data + size);
    }

    T* InlineData() { return reinterpret_cast<T*>(inlineData); }
    const T* ConstInlineData() const { return reinterpret_cast<const T*>(inlineData); }

    unsigned int size = 0;
    unsigned int capacity = N;
    T* heapData = nullptr;
    // With N = 0 this is a single unused byte, there only so that GetData is never null.
    alignas(T) unsigned char inlineData[N == 0 ? 1 : N * sizeof(T)];
};

}  // namespace qz::common
