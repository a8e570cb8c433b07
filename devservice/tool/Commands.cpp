#include "tool/Commands.h"

#include "storage/TextParsing.h"

namespace qz::devservice::tool {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"list", "list [<product>]",
         "Lists the products and their savegames: id, size in bytes, the time of the last\n"
         "commit (UTC) and the name. Files named as savegames that the service does not take\n"
         "(damaged ones) are listed as damaged.",
         RunList},
        {"export", "export <product> <savegame> <file>  |  export <product> <directory>",
         "Copies one savegame's file, byte for byte, to <file>; or every savegame of the\n"
         "product to <directory> (created when missing), as <savegame>.vsg files. A directory\n"
         "named as a number is written ./<number>, so that a forgotten <file> is not taken\n"
         "for one.",
         RunExport},
        {"import", "import <product> <savegame> <file>  |  import <product> <directory>",
         "Commits <file>, a savegame file as export writes it, as the savegame; or every\n"
         "<savegame>.vsg file of <directory> into the product. Every file is checked first:\n"
         "when one is not a savegame file, is not named as a savegame, or names the same\n"
         "savegame as another, nothing is imported. Replaces what was there.",
         RunImport},
        {"remove", "remove <product> <savegame>", "Removes one savegame.", RunRemove},
        {"reset", "reset [<product>]",
         "Removes every savegame file of the product, or of every product, damaged ones and\n"
         "the temporary files of killed writers included; a live writer's file, links and\n"
         "other files stay.",
         RunReset},
        {"damage",
         "damage <product> <savegame> truncate [<size>]  |\n"
         "       damage <product> <savegame> flip <offset> [<count>]",
         "Damages a savegame's file, for testing how a game copes: truncate cuts it to\n"
         "<size> bytes (default: half its size); flip inverts <count> bytes (default 1) from\n"
         "byte <offset> of the file (the layout is in the development service's README).",
         RunDamage},
        {"register",
         "register [--root <registry root>] <folder>  |  register [--root <registry root>] "
         "--remove",
         "Points the registry at <folder>, which holds the service library, so that games\n"
         "load it: the InstallDir value of HKEY_LOCAL_MACHINE\\SOFTWARE\\Vykaris\\Launcher\n"
         "(Windows), or the file <registry root>/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher/\n"
         "InstallDir (Linux; the root is --root, else VYKARIS_REGISTRY_ROOT, else\n"
         "/etc/vykaris/registry, and the line to export it is printed even with --quiet).\n"
         "The folder is stored as an absolute path, so that games find it from any working\n"
         "directory. --remove deletes the value again.",
         RunRegister},
        {"doctor", "doctor",
         "Walks a game's way to the platform as the loader does, a line per step: the registry\n"
         "value (and on Linux the registry root and file) with anything unusual in it, the\n"
         "library path formed, the system's reason when it does not load, each missing entry\n"
         "point, and the installation error a game gets, with advice for each problem. For\n"
         "the development service also every VYKARIS_DEVSERVICE_* variable, checked with the\n"
         "service's parser, and its storage directory (not --dir): made when missing, as the\n"
         "service does, writable, free space, damaged savegames, files of killed writers.\n"
         "Exit 0 when a game gets installation error 0 and every setting is valid, else 1.",
         RunDoctor},
        {"log", "log <call log> [--html <page.html>]", kLogHelp, RunLog},
    };
    return commands;
}

unsigned int ProductId(const std::string& text) {
    unsigned long long id = 0;
    if (!ParseDecimal(text, 0xFFFFFFFFull, id)) {
        throw UsageError("\"" + text + "\" is not a product id (0 to 4294967295)");
    }
    return static_cast<unsigned int>(id);
}

unsigned int SavegameId(const std::string& text) {
    unsigned long long id = 0;
    if (!ParseDecimal(text, kInvalidSavegameId - 1ull, id)) {
        throw UsageError("\"" + text + "\" is not a savegame id (0 to 4294967294)");
    }
    return static_cast<unsigned int>(id);
}

std::string SavegameText(unsigned int productId, unsigned int savegameId) {
    return "savegame " + std::to_string(savegameId) + " of product " + std::to_string(productId);
}

std::string CountText(unsigned long long count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

unsigned long long ByteCount(const std::string& text, const char* what) {
    unsigned long long count = 0;
    if (!ParseDecimal(text, ~0ull, count)) {
        throw UsageError("\"" + text + "\" is not " + what);
    }
    return count;
}

}  // namespace qz::devservice::tool
