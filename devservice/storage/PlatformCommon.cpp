// What both operating systems' file operations share.

#include "storage/Platform.h"

namespace qz::devservice::platform {

std::string TemporaryPath(const std::string& finalPath, unsigned long processId) {
    static unsigned int counter;
    return finalPath + "." + std::to_string(processId) + "-" + std::to_string(++counter) + ".tmp";
}

}  // namespace qz::devservice::platform
