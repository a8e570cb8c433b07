// veltodev log on arbitrary bytes: no crash, no hang and no read past the input, whatever the
// file holds; the terminal summary holds no control character but line feeds and only valid
// UTF-8; and no text of the log can end the page's data script or start a script of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "control/Json.h"
#include "fuzz/FuzzCheck.h"
#include "tool/LogModel.h"
#include "tool/LogPage.h"
#include "tool/LogSummary.h"

using namespace qz::devservice;
using namespace qz::devservice::tool;

namespace {

std::size_t Count(const std::string& text, std::string_view part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

bool IsValidUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size();) {
        unsigned int c = 0;
        const std::size_t left = text.size() - i;
        const unsigned int length =
            DecodeUtf8(bytes + i, static_cast<unsigned int>(left < 4 ? left : 4), c);
        // A replacement character is fine where it is one, written out as UTF-8.
        if (c == 0xFFFD && (length != 3 || bytes[i] != 0xEF)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LogModel model = FoldLog(std::string_view(reinterpret_cast<const char*>(data), size));
    const LogSummary summary = Summarize(model);
    const std::string text = SummaryText(summary);
    for (const char c : text) {
        QZ_FUZZ_CHECK(c == '\n' || (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F));
    }
    QZ_FUZZ_CHECK(IsValidUtf8(text));
    const std::string page = LogPage(model, summary, "fuzz");
    QZ_FUZZ_CHECK(Count(page, "<script") == 3);
    QZ_FUZZ_CHECK(Count(page, "</script") == 3);
    return 0;
}
