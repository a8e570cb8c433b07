// The test program's entry: a child mode when asked for one, else the tests on a storage
// directory emptied first, so that every run starts from nothing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "ChildModes.h"

int main(int argc, char** argv) {
    if (qz::devservice::test::IsChildMode(argc, argv)) {
        return qz::devservice::test::RunChildMode(argc, argv);
    }
    if (const char* directory = std::getenv("VYKARIS_DEVSERVICE_DIR")) {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
