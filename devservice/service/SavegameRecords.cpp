#include "service/SavegameRecords.h"

#include <cstring>
#include <utility>

namespace qz::devservice {

std::uint32_t SavegameRecords::Number(unsigned int productId, const SavegameHeader& header) {
    const Key key{productId, header.savegameId, header.size, header.name};
    const auto found = numbers.find(key);
    if (found != numbers.end()) {
        return found->second;
    }
    const auto number = static_cast<std::uint32_t>(descriptions.size());
    descriptions.push_back(Description{productId, header});
    numbers.emplace(key, number);
    return number;
}

void* SavegameRecords::Publish(unsigned int productId,
                               const std::vector<SavegameHeader>& savegames) {
    std::vector<std::uint32_t> list;
    list.reserve(savegames.size() + 1);
    for (const SavegameHeader& header : savegames) {
        list.push_back(Number(productId, header));
    }
    // The spare element gives an empty list an address of its own.
    list.push_back(0);
    const auto& published = *lists.insert(std::move(list)).first;
    return const_cast<std::uint32_t*>(published.data());
}

const Description* SavegameRecords::Find(const void* record) const {
    if (record == nullptr) {
        return nullptr;
    }
    std::uint32_t number;
    std::memcpy(&number, record, sizeof number);
    return number < descriptions.size() ? &descriptions[number] : nullptr;
}

}  // namespace qz::devservice
