#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "storage/Storage.h"

namespace qz::devservice::tool {

/// Arguments that make no sense: reported with the command's usage, exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// An operation that could not be done (no such savegame, a file that cannot be written):
/// exit code 1.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

/// One command of the tool: its name, its usage line, what it does, and the code. A command
/// that changes something returns the line that confirms it; one that only shows, "".
struct Command {
    const char* name;
    const char* usage;
    const char* help;
    std::string (*run)(Storage& storage, const Arguments& arguments);
};

/// Every command, in the order the help lists them.
const std::vector<Command>& Commands();

/// A product id (any 32-bit number) or savegame id (any but 0xFFFFFFFF) from the command
/// line; a UsageError for anything else.
unsigned int ProductId(const std::string& text);
unsigned int SavegameId(const std::string& text);
/// A count or offset of bytes; a UsageError saying that the text is not `what` otherwise.
unsigned long long ByteCount(const std::string& text, const char* what);

/// Writes the file whole and durably, under a temporary name first, as the service commits;
/// a Failure when it cannot.
void WriteFileDurably(const std::string& path, const std::vector<unsigned char>& bytes);

/// "savegame 3 of product 7", for messages.
std::string SavegameText(unsigned int productId, unsigned int savegameId);
/// "1 file", "2 files": `count` and the noun, plural but for 1.
std::string CountText(unsigned long long count, const std::string& noun);

std::string RunList(Storage& storage, const Arguments& arguments);
std::string RunExport(Storage& storage, const Arguments& arguments);
std::string RunImport(Storage& storage, const Arguments& arguments);
std::string RunRemove(Storage& storage, const Arguments& arguments);
std::string RunReset(Storage& storage, const Arguments& arguments);
std::string RunDamage(Storage& storage, const Arguments& arguments);
std::string RunRegister(Storage& storage, const Arguments& arguments);
std::string RunDoctor(Storage& storage, const Arguments& arguments);
std::string RunLog(Storage& storage, const Arguments& arguments);
extern const char kLogHelp[];

}  // namespace qz::devservice::tool
