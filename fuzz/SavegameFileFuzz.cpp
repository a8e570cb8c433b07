// Properties of the savegame file parser on arbitrary bytes: no crash, no read past the input,
// and what it accepts encodes back to exactly the same bytes (one encoding per version, so a
// file the service accepts is one it could have written).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "storage/SavegameFile.h"

using namespace qz::devservice;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ParsedSavegameFile parsed;
    if (!ParseSavegameFile(data, size, parsed)) {
        return 0;
    }
    QZ_FUZZ_CHECK(parsed.contentsOffset + parsed.header.size == size);
    QZ_FUZZ_CHECK(!parsed.name.empty() && parsed.name.back() == 0);
    const std::vector<unsigned char> encoded = EncodeSavegameFile(
        parsed.header.version, parsed.name, data + parsed.contentsOffset, parsed.header.size);
    QZ_FUZZ_CHECK(encoded == std::vector<unsigned char>(data, data + size));
    return 0;
}
