#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "storage/Storage.h"

namespace qz::devservice {

/// What a listed record describes.
struct Description {
    unsigned int productId;
    SavegameHeader header;
};

/// Publishes savegame lists as arrays of 4-byte records, each the number of a description.
/// Records and descriptions stay valid as long as the service (the whole process);
/// identical descriptions and identical lists are shared, so listing the same savegames again
/// costs no memory.
class SavegameRecords {
public:
    /// The address of the first record of the list (a valid address for an empty list).
    void* Publish(unsigned int productId, const std::vector<SavegameHeader>& savegames);

    /// The description a record stands for; null for null or a number that no description
    /// has. Any other address is read as a record: the loader only passes addresses the list
    /// handed out.
    const Description* Find(const void* record) const;

private:
    using Key = std::tuple<unsigned int, unsigned int, unsigned int, Utf16Name>;

    std::uint32_t Number(unsigned int productId, const SavegameHeader& header);

    std::deque<Description> descriptions;  // a deque keeps their addresses
    std::map<Key, std::uint32_t> numbers;
    std::set<std::vector<std::uint32_t>> lists;
};

}  // namespace qz::devservice
