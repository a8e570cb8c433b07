#pragma once

#include <vector>

#include "storage/Storage.h"

namespace qz::devservice {

/// What a listed record describes.
struct Description {
    unsigned int productId;
    SavegameHeader header;
};

/// Publishes savegame lists as arrays of 4-byte records, each the number of a description.
/// Records and descriptions stay valid until the process ends; identical descriptions and
/// identical lists are shared, so listing the same savegames again costs no memory.
namespace records {

/// The address of the first record of the list (a valid address for an empty list).
void* Publish(unsigned int productId, const std::vector<SavegameHeader>& savegames);

/// The description a record stands for; null for an address that holds no record number.
const Description* Find(const void* record);

}  // namespace records

}  // namespace qz::devservice
