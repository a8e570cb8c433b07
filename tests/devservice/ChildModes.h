#pragma once

#include <string>
#include <vector>

#include "DevGame.h"

namespace qz::devservice::test {

/// What a child process does, chosen by its first argument (see RunChildMode); the test
/// program's main hands every run with such an argument here instead of to GoogleTest.
///   --child-write <product> <savegame> <size> <seed> <marker>: commits Pattern(size, seed),
///       named after the seed, and creates the file <marker> once Close has returned.
///   --child-dump <product> <output>: lists the product and writes one line per savegame,
///       "<id> <size> <hash of the contents>", in list order.
///   --child-hold <product> <savegame> <marker>: opens a writer of the savegame, writes to it,
///       creates the file <marker> and waits, the writer open, to be killed.
///   --child-script <product>: a fixed game session on the product (saves, lists, loads,
///       logins, server requests, removals) that copes with any answer and with lost ones.
///   --child-installation-error: exits with the installation error number a game gets.
bool IsChildMode(int argc, char** argv);
int RunChildMode(int argc, char** argv);

/// The installation error number a game started now gets, from a child; -1 when it failed.
int InstallationErrorInFreshProcess();

/// Runs a script child with VYKARIS_DEVSERVICE_LOG set to `log`; false when it failed.
bool ScriptInFreshProcess(unsigned int productId, const std::string& log);

/// FNV-1a of the bytes.
unsigned long long Hash(const Bytes& bytes);

/// One line of a dump.
struct Dumped {
    unsigned int savegameId;
    unsigned int size;
    unsigned long long hash;
};

/// Runs a dump child for the product and reads its lines; false when the child failed.
bool DumpInFreshProcess(unsigned int productId, const std::string& output,
                        std::vector<Dumped>& dumped);

}  // namespace qz::devservice::test
