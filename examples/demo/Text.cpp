#include "Text.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace demo {
namespace {

// Appends the UTF-8 bytes of `codePoint` if they and the terminator still fit.
void Append(unsigned int codePoint, char* out, unsigned int size, unsigned int& used) {
    char bytes[4];
    unsigned int count;
    if (codePoint < 0x80) {
        bytes[0] = static_cast<char>(codePoint);
        count = 1;
    } else if (codePoint < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (codePoint >> 6));
        bytes[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        count = 2;
    } else if (codePoint < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (codePoint >> 12));
        bytes[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        count = 3;
    } else {
        bytes[0] = static_cast<char>(0xF0 | (codePoint >> 18));
        bytes[1] = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        bytes[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
        count = 4;
    }
    if (used + count >= size) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        out[used++] = bytes[i];
    }
}

}  // namespace

void ToUtf8(const unsigned short* text, char* out, unsigned int size) {
    unsigned int used = 0;
    for (unsigned int i = 0; text != nullptr && text[i] != 0; ++i) {
        unsigned int unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        Append(unit, out, size, used);
    }
    out[used] = '\0';
}

void FromAscii(const char* text, unsigned short* out, unsigned int size) {
    unsigned int i = 0;
    for (; text[i] != '\0' && i + 1 < size; ++i) {
        out[i] = static_cast<unsigned char>(text[i]);
    }
    out[i] = 0;
}

void UseUtf8Terminal() {
#if defined(_WIN32)
    SetConsoleOutputCP(CP_UTF8);
#endif
}

}  // namespace demo
