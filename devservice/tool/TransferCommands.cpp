// export and import: savegame files copied byte for byte, so that an import of an export
// gives the same bytes back.

#include <filesystem>
#include <string>

#include "storage/Platform.h"
#include "tool/Commands.h"

namespace qz::devservice::tool {

namespace {

const char kSuffix[] = ".vsg";

// Writes the file durably, under a temporary name first, as the service commits.
void WriteWhole(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::filesystem::path target = std::filesystem::u8path(path);
    const std::string directory =
        target.has_parent_path() ? target.parent_path().u8string() : std::string(".");
    platform::PendingFile* file = platform::BeginFile(directory, target.filename().u8string());
    if (file == nullptr || !platform::AppendToFile(file, bytes.data(), bytes.size())) {
        if (file != nullptr) {
            platform::AbandonFile(file);
        }
        throw Failure("cannot write \"" + path + "\"");
    }
    if (!platform::CommitFile(file)) {
        throw Failure("cannot write \"" + path + "\"");
    }
}

void ExportOne(const Storage& storage, unsigned int productId, unsigned int savegameId,
               const std::string& path) {
    SavegameContents contents;
    if (storage.Read(productId, savegameId, contents) != ResultCode::kDone) {
        throw Failure("no savegame " + std::to_string(savegameId) + " in product " +
                      std::to_string(productId));
    }
    WriteWhole(path, contents.file);
}

// Reads and checks a savegame file as the service would take it.
SavegameContents ReadSavegameFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    unsigned long long size = 0;
    if (platform::ReadFile(path, static_cast<std::size_t>(-1), bytes, size) !=
        platform::ReadResult::kDone) {
        throw Failure("cannot read \"" + path + "\"");
    }
    SavegameContents contents;
    if (!ParseSavegameFile(bytes, contents)) {
        throw Failure("\"" + path + "\" is not a savegame file; nothing imported");
    }
    return contents;
}

void Commit(const Storage& storage, unsigned int productId, unsigned int savegameId,
            const SavegameContents& contents) {
    const auto begin = contents.file.begin() + static_cast<std::ptrdiff_t>(contents.dataOffset);
    if (!storage.Write(productId, savegameId, contents.header.name,
                       std::vector<unsigned char>(begin, contents.file.end()))) {
        throw Failure("cannot commit savegame " + std::to_string(savegameId) + " of product " +
                      std::to_string(productId));
    }
}

}  // namespace

void RunExport(const Storage& storage, const Arguments& arguments) {
    if (arguments.size() == 3) {
        ExportOne(storage, ProductId(arguments[0]), SavegameId(arguments[1]), arguments[2]);
        return;
    }
    if (arguments.size() != 2) {
        throw UsageError("expected a product, a savegame and a file, or a product and a directory");
    }
    const unsigned int productId = ProductId(arguments[0]);
    if (!platform::CreateDirectories(arguments[1])) {
        throw Failure("cannot create the directory \"" + arguments[1] + "\"");
    }
    for (const SavegameHeader& header : storage.List(productId)) {
        ExportOne(storage, productId, header.savegameId,
                  platform::JoinPath(arguments[1], std::to_string(header.savegameId) + kSuffix));
    }
}

void RunImport(const Storage& storage, const Arguments& arguments) {
    if (arguments.size() == 3) {
        const unsigned int productId = ProductId(arguments[0]);
        const unsigned int savegameId = SavegameId(arguments[1]);
        Commit(storage, productId, savegameId, ReadSavegameFile(arguments[2]));
        return;
    }
    if (arguments.size() != 2) {
        throw UsageError("expected a product, a savegame and a file, or a product and a directory");
    }
    const unsigned int productId = ProductId(arguments[0]);
    std::vector<std::string> names;
    if (!platform::ListFiles(arguments[1], names)) {
        throw Failure("cannot read the directory \"" + arguments[1] + "\"");
    }
    // Everything is checked before anything is committed.
    std::vector<std::pair<unsigned int, SavegameContents>> savegames;
    for (const std::string& name : names) {
        const std::size_t suffix = name.size() - (sizeof kSuffix - 1);
        if (name.size() <= sizeof kSuffix - 1 ||
            name.compare(suffix, std::string::npos, kSuffix) != 0) {
            continue;
        }
        savegames.emplace_back(SavegameId(name.substr(0, suffix)),
                               ReadSavegameFile(platform::JoinPath(arguments[1], name)));
    }
    for (const auto& [savegameId, contents] : savegames) {
        Commit(storage, productId, savegameId, contents);
    }
}

}  // namespace qz::devservice::tool
