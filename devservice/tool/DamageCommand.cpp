// damage: breaks a savegame file on purpose, in the ways disks and crashes break files.

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "storage/Platform.h"
#include "tool/Commands.h"

namespace qz::devservice::tool {

namespace {

void Truncate(const std::filesystem::path& file, unsigned long long size,
              unsigned long long newSize) {
    if (newSize >= size) {
        throw UsageError("the file has " + std::to_string(size) +
                         " bytes: truncate needs a smaller size");
    }
    std::error_code error;
    std::filesystem::resize_file(file, newSize, error);
    if (error) {
        throw Failure("cannot truncate \"" + file.u8string() + "\": " + error.message());
    }
}

void Flip(const std::filesystem::path& file, unsigned long long size, unsigned long long offset,
          unsigned long long count) {
    if (count == 0 || offset >= size || count > size - offset) {
        throw UsageError("the file has " + std::to_string(size) +
                         " bytes: flip needs bytes within it");
    }
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    stream.seekg(static_cast<std::streamoff>(offset));
    stream.read(&bytes[0], static_cast<std::streamsize>(count));
    for (char& byte : bytes) {
        byte = static_cast<char>(~static_cast<unsigned char>(byte));
    }
    stream.seekp(static_cast<std::streamoff>(offset));
    stream.write(bytes.data(), static_cast<std::streamsize>(count));
    stream.flush();
    if (!stream) {
        throw Failure("cannot change \"" + file.u8string() + "\"");
    }
}

}  // namespace

std::string RunDamage(Storage& storage, const Arguments& arguments) {
    if (arguments.size() < 3) {
        throw UsageError("expected a product, a savegame and truncate or flip");
    }
    const unsigned int productId = ProductId(arguments[0]);
    const unsigned int savegameId = SavegameId(arguments[1]);
    const std::string path = storage.SavegamePath(productId, savegameId);
    // Never through a link: what it points to is not the storage's to damage.
    if (platform::TypeOf(platform::JoinPath(storage.Directory(), arguments[0])) !=
            platform::EntryType::kDirectory ||
        platform::TypeOf(path) != platform::EntryType::kFile) {
        throw Failure("no file for savegame " + arguments[1] + " of product " + arguments[0]);
    }
    const std::filesystem::path file = std::filesystem::u8path(path);
    std::error_code error;
    const unsigned long long size = std::filesystem::file_size(file, error);
    if (error) {
        throw Failure("no file for savegame " + arguments[1] + " of product " + arguments[0]);
    }
    const std::string& mode = arguments[2];
    const std::string savegame = SavegameText(productId, savegameId);
    if (mode == "truncate" && arguments.size() <= 4) {
        const unsigned long long newSize =
            arguments.size() == 4 ? ByteCount(arguments[3], "a size in bytes") : size / 2;
        Truncate(file, size, newSize);
        return "cut the file of " + savegame + " from " + std::to_string(size) + " to " +
               CountText(newSize, "byte");
    }
    if (mode == "flip" && (arguments.size() == 4 || arguments.size() == 5)) {
        const unsigned long long offset = ByteCount(arguments[3], "an offset in bytes");
        const unsigned long long count =
            arguments.size() == 5 ? ByteCount(arguments[4], "a count of bytes") : 1;
        Flip(file, size, offset, count);
        return "inverted " + CountText(count, "byte") + " from byte " + std::to_string(offset) +
               " of the file of " + savegame;
    }
    throw UsageError("expected truncate [<size>] or flip <offset> [<count>]");
}

}  // namespace qz::devservice::tool
