// export and import: savegame files copied byte for byte, so that an import of an export
// gives the same bytes back.

#include <filesystem>
#include <map>
#include <string>

#include "storage/Platform.h"
#include "storage/SavegameFile.h"
#include "storage/TextParsing.h"
#include "tool/Commands.h"

namespace qz::devservice::tool {

void WriteFileDurably(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::filesystem::path target = std::filesystem::u8path(path);
    const std::string directory =
        target.has_parent_path() ? target.parent_path().u8string() : std::string(".");
    const std::string temporary = path + ".export-" + std::to_string(platform::ProcessId());
    platform::File file;
    if (platform::CreateNew(temporary, file) != platform::OpenResult::kOpened) {
        throw Failure("cannot create \"" + temporary + "\": " + platform::LastErrorText());
    }
    if (!platform::WriteAt(file, 0, bytes.data(), bytes.size()) ||
        !platform::CommitFile(file, temporary, path, directory)) {
        const std::string error = platform::LastErrorText();
        file.Close();
        platform::RemoveFile(directory, std::filesystem::u8path(temporary).filename().u8string());
        throw Failure("cannot write \"" + path + "\": " + error);
    }
}

namespace {

void ExportOne(const Storage& storage, unsigned int productId, unsigned int savegameId,
               const std::string& path) {
    SavegameContents contents;
    std::string reason;
    const ResultCode result = storage.Read(productId, savegameId, contents, reason);
    if (result == ResultCode::kStorageFailure) {
        throw Failure(reason);
    }
    if (result != ResultCode::kDone) {
        throw Failure("no savegame " + std::to_string(savegameId) + " in product " +
                      std::to_string(productId));
    }
    // The format has one encoding of a name and contents per version: the same bytes.
    WriteFileDurably(path, EncodeSavegameFile(contents.version, contents.header.name,
                                              contents.data.data(), contents.data.size()));
}

// Reads and checks a savegame file as the service would take it.
SavegameContents ReadImported(const std::string& path) {
    SavegameContents contents;
    std::string reason;
    switch (ReadSavegameFile(path, contents, reason)) {
        case ResultCode::kDone:
            return contents;
        case ResultCode::kStorageFailure:
            throw Failure(reason + "; nothing imported");
        default:
            throw Failure("\"" + path + "\" is not a savegame file; nothing imported");
    }
}

void Commit(Storage& storage, unsigned int productId, unsigned int savegameId,
            const SavegameContents& contents) {
    std::string reason;
    if (!storage.Write(productId, savegameId, contents.header.name, contents.data.data(),
                       contents.data.size(), reason)) {
        throw Failure("cannot commit savegame " + std::to_string(savegameId) + " of product " +
                      std::to_string(productId) + ": " + reason);
    }
}

// The savegames of an import folder by id: every "*.vsg" file must be named as a savegame,
// and no two may name the same one (as "1.vsg" and "01.vsg" would).
std::map<unsigned int, std::string> ImportedNames(const std::string& folder) {
    std::vector<std::string> names;
    if (!platform::ListNames(folder, names)) {
        throw Failure("cannot read the directory \"" + folder + "\"");
    }
    std::map<unsigned int, std::string> byId;
    for (const std::string& name : names) {
        std::string stem;
        if (!SplitSavegameSuffix(name, stem)) {
            continue;
        }
        unsigned long long id = 0;
        if (!ParseDecimal(stem, kInvalidSavegameId - 1ull, id)) {
            throw Failure("\"" + name +
                          "\" is not named as a savegame (<savegame id>.vsg); nothing imported");
        }
        const auto [known, added] = byId.emplace(static_cast<unsigned int>(id), name);
        if (!added) {
            throw Failure("\"" + known->second + "\" and \"" + name + "\" name savegame " +
                          std::to_string(id) + "; nothing imported");
        }
    }
    for (const auto& [id, name] : byId) {
        if (name != SavegameFileName(id)) {
            throw Failure("\"" + name + "\" is not named as a savegame (" + SavegameFileName(id) +
                          "); nothing imported");
        }
    }
    return byId;
}

}  // namespace

std::string RunExport(Storage& storage, const Arguments& arguments) {
    if (arguments.size() == 3) {
        const unsigned int productId = ProductId(arguments[0]);
        const unsigned int savegameId = SavegameId(arguments[1]);
        ExportOne(storage, productId, savegameId, arguments[2]);
        return "exported " + SavegameText(productId, savegameId) + " to \"" + arguments[2] + "\"";
    }
    if (arguments.size() != 2) {
        throw UsageError("expected a product, a savegame and a file, or a product and a directory");
    }
    const unsigned int productId = ProductId(arguments[0]);
    unsigned long long number = 0;
    if (ParseDecimal(arguments[1], ~0ull, number)) {
        // Most likely "export <product> <savegame>" with the file forgotten.
        throw UsageError("a savegame needs a <file> to export to (a directory named " +
                         arguments[1] + " is written ./" + arguments[1] + ")");
    }
    if (!platform::CreateDirectories(arguments[1])) {
        throw Failure("cannot create the directory \"" + arguments[1] +
                      "\": " + platform::LastErrorText());
    }
    const std::vector<SavegameHeader> savegames = storage.List(productId);
    for (const SavegameHeader& header : savegames) {
        ExportOne(storage, productId, header.savegameId,
                  platform::JoinPath(arguments[1], SavegameFileName(header.savegameId)));
    }
    return "exported " + CountText(savegames.size(), "savegame") + " of product " + arguments[0] +
           " to \"" + arguments[1] + "\"";
}

std::string RunImport(Storage& storage, const Arguments& arguments) {
    if (arguments.size() == 3) {
        const unsigned int productId = ProductId(arguments[0]);
        const unsigned int savegameId = SavegameId(arguments[1]);
        Commit(storage, productId, savegameId, ReadImported(arguments[2]));
        return "imported \"" + arguments[2] + "\" as " + SavegameText(productId, savegameId);
    }
    if (arguments.size() != 2) {
        throw UsageError("expected a product, a savegame and a file, or a product and a directory");
    }
    const unsigned int productId = ProductId(arguments[0]);
    // Everything is checked before anything is committed.
    std::vector<std::pair<unsigned int, SavegameContents>> savegames;
    for (const auto& [savegameId, name] : ImportedNames(arguments[1])) {
        savegames.emplace_back(savegameId, ReadImported(platform::JoinPath(arguments[1], name)));
    }
    for (const auto& [savegameId, contents] : savegames) {
        Commit(storage, productId, savegameId, contents);
    }
    return "imported " + CountText(savegames.size(), "savegame") + " from \"" + arguments[1] +
           "\" into product " + arguments[0];
}

}  // namespace qz::devservice::tool
