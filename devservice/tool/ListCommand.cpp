#include <cstdio>
#include <ctime>
#include <string>

#include "storage/Platform.h"
#include "tool/Commands.h"

namespace qz::devservice::tool {

namespace {

std::string FormatTime(long long seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    const std::tm* utc = std::gmtime(&time);
    char text[32] = "?";
    if (utc != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", utc);
    }
    return text;
}

void ListProduct(const Storage& storage, unsigned int productId) {
    const std::vector<SavegameHeader> listed = storage.List(productId);
    std::size_t next = 0;
    // The service's list, with the files it does not take shown among them.
    for (const StoredFile& file : storage.Scan(productId)) {
        if (file.kind == StoredFile::Kind::kTemporary ||
            file.kind == StoredFile::Kind::kHeldTemporary) {
            continue;
        }
        const unsigned int savegameId = file.savegameId;
        long long modified = 0;
        const bool dated =
            platform::ModifiedTime(storage.SavegamePath(productId, savegameId), modified);
        const std::string when = dated ? FormatTime(modified) : "?";
        while (next < listed.size() && listed[next].savegameId < savegameId) {
            ++next;
        }
        if (next < listed.size() && listed[next].savegameId == savegameId) {
            const SavegameHeader& header = listed[next++];
            std::printf("%10u %10u %10u  %s  %s\n", productId, savegameId, header.size,
                        when.c_str(), NameToUtf8(header.name).c_str());
        } else {
            std::printf("%10u %10u %10s  %s  (%s: not a savegame to the service)\n", productId,
                        savegameId, "-", when.c_str(),
                        file.kind == StoredFile::Kind::kNotAFile ? "not a file" : "damaged");
        }
    }
}

}  // namespace

std::string RunList(Storage& storage, const Arguments& arguments) {
    if (arguments.size() > 1) {
        throw UsageError("too many arguments");
    }
    const std::vector<unsigned int> products =
        arguments.empty() ? storage.Products() : std::vector<unsigned int>{ProductId(arguments[0])};
    std::printf("%10s %10s %10s  %-19s  %s\n", "product", "savegame", "size", "committed (UTC)",
                "name");
    for (const unsigned int productId : products) {
        ListProduct(storage, productId);
    }
    return "";
}

}  // namespace qz::devservice::tool
