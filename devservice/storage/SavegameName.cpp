// Names are converted here rather than with qz::common::String: that class refuses U+10FFFE
// and U+10FFFF, which are well-formed UTF-16 and so valid names, and its UTF-8 decoder takes
// surrogate values that a name file must never contain.

#include "storage/SavegameName.h"

namespace qz::devservice {

namespace {

bool IsHighSurrogate(unsigned int unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(unsigned int unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

bool TakeName(const unsigned short* text, Utf16Name& name) {
    if (text == nullptr) {
        return false;
    }
    std::size_t length = 0;
    while (length <= kMaxNameUnits && text[length] != 0) {
        ++length;
    }
    if (length == 0 || length > kMaxNameUnits) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return false;
        }
    }
    name.assign(text, text + length + 1);
    return true;
}

void AppendUtf8(std::string& out, unsigned int c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string NameToUtf8(const Utf16Name& name) {
    std::string bytes;
    for (std::size_t i = 0; i < name.size() && name[i] != 0; ++i) {
        unsigned int c = name[i];
        if (IsHighSurrogate(c) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00u);
            ++i;
        }
        AppendUtf8(bytes, c);
    }
    return bytes;
}

bool NameFromUtf8(const unsigned char* bytes, std::size_t count, Utf16Name& name) {
    Utf16Name units;
    std::size_t i = 0;
    while (i < count) {
        const unsigned int lead = bytes[i];
        std::size_t extra;
        unsigned int c;
        unsigned int minimum;
        if (lead < 0x80) {
            extra = 0, c = lead, minimum = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (count - i <= extra) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned int next = bytes[i + k];
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c == 0) {
            return false;
        }
        if (c >= 0x10000) {
            units.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<unsigned short>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<unsigned short>(c));
        }
        i += extra + 1;
    }
    if (units.size() > kMaxNameUnits) {
        return false;
    }
    units.push_back(0);
    name.swap(units);
    return true;
}

}  // namespace qz::devservice
