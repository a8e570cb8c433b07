#include "common/String.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "common/FatalError.h"
#include "common/Utf16.h"
#include "common/Utf8.h"

namespace qz::common {
namespace {

constexpr unsigned int kUpToTerminator = 0xFFFFFFFF;

using CodePointArray = HybridArray<unsigned int, 0, StandardDataHelper<unsigned int>>;

template <typename Unit>
std::size_t TerminatedLength(const Unit* text) {
    std::size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

unsigned int CheckedSize(std::size_t size) {
    if (size >= UINT_MAX) {  // beyond any array; the array would fail the same way
        FatalError();
    }
    return static_cast<unsigned int>(size);
}

// Decodes into room for one code point per input unit, so the array grows at most once, then
// cuts it to what was written. Malformed input leaves it empty.
template <typename Unit, typename Decoder>
bool DecodeInto(CodePointArray& codePoints, const Unit* text, std::size_t length, Decoder decode) {
    codePoints.Clear();
    codePoints.Resize(CheckedSize(length));
    const std::size_t count = decode(text, length, codePoints.GetData(), utf::kDefaultKernel);
    if (count == utf::kInvalid) {
        codePoints.Clear();
        return false;
    }
    codePoints.Truncate(static_cast<unsigned int>(count));
    return true;
}

bool DecodeUtf8Into(CodePointArray& codePoints, const char* text, std::size_t length) {
    return DecodeInto(codePoints, text, length, utf::DecodeUtf8);
}

// Encodes into a buffer sized for the common case (one unit per code point for a run of
// ASCII or BMP text) and sizes it exactly, with one counting pass, only when a longer code
// point shows up; the encoder also needs `slack` spare units. The buffer ends with one 0 unit.
template <typename Unit, typename PrefixEncoder, typename Counter, typename Encoder>
Unit* EncodeInto(HybridArray<Unit, 0, StandardDataHelper<Unit>>& buffer,
                 const unsigned int* codePoints, std::size_t count, PrefixEncoder encodePrefix,
                 Counter countUnits, Encoder encode, std::size_t slack) {
    buffer.Clear();
    buffer.Resize(CheckedSize(count + 1));
    const std::size_t done = encodePrefix(codePoints, count, buffer.GetData(), utf::kDefaultKernel);
    std::size_t total = done;
    if (done < count) {
        total = done + countUnits(codePoints + done, count - done);
        buffer.Resize(CheckedSize(total + 1 + slack));
        encode(codePoints + done, count - done, buffer.GetData() + done, utf::kDefaultKernel);
    }
    buffer.Truncate(static_cast<unsigned int>(total + 1));
    Unit* const data = buffer.GetData();
    data[total] = 0;
    return data;
}

}  // namespace

String::String() = default;

String::String(const String& other) : String() {
    codePoints.AddRange(other.codePoints);
}

String::String(const char* text, unsigned int length) : String() {
    SetUtf8(text, length);
}

String::String(const std::string& text) : String() {
    DecodeUtf8Into(codePoints, text.data(), text.size());
}

String::String(const unsigned short* text, unsigned int length) : String() {
    SetUtf16(text, length);
}

String::~String() = default;

String& String::operator=(const String& other) {
    if (this != &other) {
        codePoints = other.codePoints;
    }
    return *this;
}

bool String::SetUtf8(const char* text, unsigned int length) {
    if (text == nullptr) {
        codePoints.Clear();
        return true;
    }
    return DecodeUtf8Into(codePoints, text, length == kUpToTerminator ? std::strlen(text) : length);
}

bool String::SetUtf16(const unsigned short* text, unsigned int length) {
    if (text == nullptr) {
        codePoints.Clear();
        return true;
    }
    return DecodeInto(codePoints, text, length == kUpToTerminator ? TerminatedLength(text) : length,
                      utf::DecodeUtf16);
}

bool String::SetUtf32(const unsigned int* text, unsigned int length) {
    codePoints.Clear();
    if (text == nullptr) {
        return true;
    }
    const std::size_t count = length == kUpToTerminator ? TerminatedLength(text) : length;
    codePoints.AddRange(text, CheckedSize(count));
    return true;
}

void String::Clear() {
    codePoints.Clear();
}

unsigned int String::GetLength() const {
    return codePoints.GetSize();
}

unsigned int String::GetAt(unsigned int index) const {
    if (codePoints.GetSize() == 0) {
        return 0;
    }
    return codePoints.At(index);
}

const char* String::GetUtf8() {
    return EncodeInto(utf8Buffer, Data(), GetLength(), utf::EncodeUtf8AsciiPrefix, utf::Utf8Length,
                      utf::EncodeUtf8, utf::kUtf8EncodeSlack);
}

unsigned short* String::GetUtf16() {
    return EncodeInto(utf16Buffer, Data(), GetLength(), utf::EncodeUtf16BmpPrefix, utf::Utf16Length,
                      utf::EncodeUtf16, utf::kUtf16EncodeSlack);
}

String& String::Append(const String& other) {
    if (&other == this) {
        const CodePointArray copy(codePoints);
        codePoints.AddRange(copy);
    } else {
        codePoints.AddRange(other.codePoints);
    }
    return *this;
}

String& String::Append(unsigned int codePoint) {
    if (codePoint != 0) {
        codePoints.Add(codePoint);
    }
    return *this;
}

String& String::Append(const char& c) {
    return Append(Widen(c));
}

String& String::AppendNumber(const unsigned int& value) {
    char text[1024];
    std::snprintf(text, sizeof text, "%u", value);
    return Append(String(text));
}

String& String::AppendNumber(const int& value) {
    char text[1024];
    std::snprintf(text, sizeof text, "%d", value);
    return Append(String(text));
}

String& String::AppendNumber(const double& value) {
    char text[1024];  // "%f" of the largest double needs 317 bytes
    std::snprintf(text, sizeof text, "%f", value);
    return Append(String(text));
}

String String::operator+(const String& other) const {
    String result(*this);
    result.Append(other);
    return result;
}

const unsigned int* String::Data() const {
    // GetData only reads, whatever its signature says.
    return const_cast<CodePointArray&>(codePoints).GetData();
}

unsigned int String::Widen(char c) {
    return static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(c)));
}

}  // namespace qz::common
