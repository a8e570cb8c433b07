#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/IArray.h"
#include "common/String.h"

namespace qz::common::testing {

/// A string holding exactly these code points, zeros and unchecked values included.
inline String FromCodePoints(const std::u32string& codePoints) {
    String text;
    text.SetUtf32(reinterpret_cast<const unsigned int*>(codePoints.data()),
                  static_cast<unsigned int>(codePoints.size()));
    return text;
}

/// The code points of `text`.
inline std::u32string CodePointsOf(const String& text) {
    std::u32string codePoints;
    for (unsigned int i = 0; i < text.GetLength(); ++i) {
        codePoints += static_cast<char32_t>(text.GetAt(i));
    }
    return codePoints;
}

/// The 16-bit units of a UTF-16 literal as the library takes them.
inline const unsigned short* Units(const std::u16string& text) {
    return reinterpret_cast<const unsigned short*>(text.data());
}

/// A byte string from a list of byte values, so tables can hold 0 bytes and any byte.
inline std::string Bytes(std::initializer_list<unsigned int> values) {
    std::string bytes;
    for (const unsigned int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

/// The caller's side of `IArray<String>` for the split operations. `HybridArray` never runs
/// element destructors, so it cannot hold strings, which own heap blocks.
template <typename T>
class VectorArray : public IArray<T> {
public:
    void AddRange(const T* items, unsigned int count) override {
        elements.insert(elements.end(), items, items + count);
    }
    unsigned int Add(const T& item) override {
        elements.push_back(item);
        return static_cast<unsigned int>(elements.size() - 1);
    }
    void RemoveAt(unsigned int index) override { elements.erase(elements.begin() + index); }
    void RemoveAtFast(unsigned int index) override {
        elements[index] = elements.back();
        elements.pop_back();
    }
    void RemoveFirst(unsigned int count) override {
        elements.erase(elements.begin(),
                       elements.begin() + std::min<size_t>(count, elements.size()));
    }
    T Pop() override {
        T last = elements.back();
        elements.pop_back();
        return last;
    }
    void Clear() override { elements.clear(); }
    void Truncate(unsigned int size) override {
        if (size < elements.size()) {
            elements.erase(elements.begin() + size, elements.end());
        }
    }
    void Reserve(unsigned int capacity) override { elements.reserve(capacity); }
    unsigned int GetSize() const override { return static_cast<unsigned int>(elements.size()); }
    T* GetData() override { return elements.data(); }
    const T& At(unsigned int index) const override { return elements.at(index); }
    T& At(unsigned int index) override { return elements.at(index); }

private:
    std::vector<T> elements;
};

/// The code points of every element of `parts`.
inline std::vector<std::u32string> PiecesOf(const IArray<String>& parts) {
    std::vector<std::u32string> pieces;
    for (unsigned int i = 0; i < parts.GetSize(); ++i) {
        pieces.push_back(CodePointsOf(parts.At(i)));
    }
    return pieces;
}

}  // namespace qz::common::testing
