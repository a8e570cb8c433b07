#pragma once

namespace qz::common {

/// Abstract growable sequence. The order of the virtual operations is part of the binary
/// interface between modules and must not change.
template <typename T>
class IArray {
public:
    virtual ~IArray() = default;

    /// Appends `count` elements copied from `items` (null only when `count` is 0).
    virtual void AddRange(const T* items, unsigned int count) = 0;
    /// Appends a copy of `item`; returns its index.
    virtual unsigned int Add(const T& item) = 0;
    /// Removes the element at `index`, keeping the order of the others.
    virtual void RemoveAt(unsigned int index) = 0;
    /// Replaces the element at `index` by the last one and drops the last one.
    virtual void RemoveAtFast(unsigned int index) = 0;
    /// Removes the first `count` elements; all of them when `count` is not below the size.
    virtual void RemoveFirst(unsigned int count) = 0;
    /// Removes the last element and returns a copy of it.
    virtual T Pop() = 0;
    /// Drops all elements and keeps the storage.
    virtual void Clear() = 0;
    /// Lowers the size to `size`; a larger value does nothing.
    virtual void Truncate(unsigned int size) = 0;
    /// Makes room for at least `capacity` elements; never shrinks.
    virtual void Reserve(unsigned int capacity) = 0;
    virtual unsigned int GetSize() const = 0;
    /// The first element's address; never null, even for an array that never allocated.
    virtual T* GetData() = 0;
    virtual const T& At(unsigned int index) const = 0;
    virtual T& At(unsigned int index) = 0;

    /// Appends copies of all elements of `other`.
    void AddRange(const IArray<T>& other) {
        AddRange(const_cast<IArray<T>&>(other).GetData(), other.GetSize());
    }

    /// Replaces the contents with copies of the elements of `other`.
    IArray<T>& operator=(const IArray<T>& other) {
        if (this != &other) {
            Clear();
            AddRange(other);
        }
        return *this;
    }

protected:
    IArray() = default;
    IArray(const IArray<T>&) = default;
};

}  // namespace qz::common
