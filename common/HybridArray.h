#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <type_traits>

#include "common/FatalError.h"
#include "common/IArray.h"
#include "common/StandardDataHelper.h"

namespace qz::common {

namespace hybrid_array {

// Whether a data helper declares that it copies elements as raw blocks (`kBlockCopy`, as
// StandardDataHelper does). Helpers that do not are taken to assign element by element.
template <typename Helper, typename = void>
constexpr bool kUsesBlockCopy = false;

template <typename Helper>
constexpr bool kUsesBlockCopy<Helper, std::void_t<decltype(Helper::kBlockCopy)>> =
    Helper::kBlockCopy;

}  // namespace hybrid_array

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
/// the array itself: such a source is found again by its position after growth.
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

    // IArray's operator= already leaves a self-assignment alone.
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment)
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
        const std::ptrdiff_t offset = OffsetInStorage(items);
        this->Reserve(size + count);
        if (capacity < size + count) {
            FatalError();
        }
        if (offset >= 0) {
            items = GetData() + offset;
        }
        const unsigned int oldSize = size;
        SetSize(oldSize + count);
        CopyElements(GetData() + oldSize, items, count);
    }

    unsigned int Add(const T& item) override {
        if (size == UINT_MAX) {
            FatalError();
        }
        const T* source = &item;
        if (size == capacity) {
            const std::ptrdiff_t offset = OffsetInStorage(source);
            Reallocate(size + 1);
            if (offset >= 0) {
                source = GetData() + offset;
            }
        }
        const unsigned int oldSize = size;
        SetSize(oldSize + 1);
        Helper::Copy(GetData() + oldSize, source, 1);
        return oldSize;
    }

    void RemoveAt(unsigned int index) override {
        CheckIndex(index);
        MoveElementsDown(GetData(), index, index + 1, size - index - 1);
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
        MoveElementsDown(GetData(), 0, count, size - count);
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
        // An element of our own storage is found again by position after growth and shift.
        std::ptrdiff_t offset = OffsetInStorage(&item);
        Reallocate(size + 1);
        if (index > size) {
            index = size;
        }
        const unsigned int oldSize = size;
        SetSize(oldSize + 1);
        T* const data = GetData();
        MoveElementsUp(data, index, oldSize - index);
        if (offset < 0) {
            data[index] = item;
        } else {
            if (offset >= static_cast<std::ptrdiff_t>(index)) {
                ++offset;
            }
            data[index] = data[offset];
        }
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
        CopyElements(block, GetData(), size);
        std::free(heapData);
        heapData = block;
        capacity = newCapacity;
    }

    // The helper's steps take int counts and indices; longer runs go in pieces, so that an
    // array of more than INT_MAX elements loses nothing when it grows or shifts.
    static constexpr unsigned int kMaxRun = INT_MAX / 2;

    static void CopyElements(T* dst, const T* src, unsigned int count) {
        while (count > 0) {
            const unsigned int run = count < kMaxRun ? count : kMaxRun;
            Helper::Copy(dst, src, static_cast<int>(run));
            dst += run;
            src += run;
            count -= run;
        }
    }

    // Moves `count` elements from index `from` down to index `to` (below it), lowest first.
    static void MoveElementsDown(T* data, unsigned int to, unsigned int from, unsigned int count) {
        if (count <= INT_MAX - from) {
            Helper::Move(data, static_cast<int>(to), static_cast<int>(from),
                         static_cast<int>(count));
            return;
        }
        const unsigned int gap = from - to;
        while (count > 0) {
            const unsigned int run = count < kMaxRun ? count : kMaxRun;
            if (gap > kMaxRun) {
                Helper::Copy(data + to, data + from, static_cast<int>(run));  // cannot overlap
            } else {
                Helper::Move(data + to, 0, static_cast<int>(gap), static_cast<int>(run));
            }
            to += run;
            from += run;
            count -= run;
        }
    }

    // Moves `count` elements from index `from` up by one, highest first.
    static void MoveElementsUp(T* data, unsigned int from, unsigned int count) {
        if constexpr (hybrid_array::kUsesBlockCopy<Helper>) {
            while (count > 0) {
                const unsigned int run = count < kMaxRun ? count : kMaxRun;
                count -= run;
                Helper::Move(data + from + count, 1, 0, static_cast<int>(run));
            }
        } else {
            // The helper's Move only goes downward; assign from the top so nothing is
            // overwritten before it has moved.
            for (unsigned int i = from + count; i > from; --i) {
                data[i] = data[i - 1];
            }
        }
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

    // Index of `item` when it points at one of our live elements, else -1.
    std::ptrdiff_t OffsetInStorage(const T* item) {
        const T* const data = GetData();
        const std::less<const T*> before;
        if (size == 0 || before(item, data) || !before(item, data + size)) {
            return -1;
        }
        return item - data;
    }

    T* InlineData() { return reinterpret_cast<T*>(inlineData); }
    const T* ConstInlineData() const { return reinterpret_cast<const T*>(inlineData); }

public:
    // The fields are open for inspection (tests, debuggers, tools); change them only through
    // the operations above.
    unsigned int size = 0;
    unsigned int capacity = N;
    T* heapData = nullptr;
    // With N = 0 this is a single unused byte, there only so that GetData is never null.
    alignas(T) unsigned char inlineData[N == 0 ? 1 : N * sizeof(T)] = {};
};

}  // namespace qz::common
