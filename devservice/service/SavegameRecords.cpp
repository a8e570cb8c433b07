#include "service/SavegameRecords.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <tuple>

namespace qz::devservice::records {

namespace {

using Key = std::tuple<unsigned int, unsigned int, unsigned int, Utf16Name>;

struct Published {
    std::deque<Description> descriptions;  // a deque keeps their addresses
    std::map<Key, std::uint32_t> numbers;
    std::set<std::vector<std::uint32_t>> lists;
};

// Created on first use and never destroyed: records outlive every static destructor.
Published& ThePublished() {
    static auto* published = new Published;
    return *published;
}

std::uint32_t Number(unsigned int productId, const SavegameHeader& header) {
    Published& published = ThePublished();
    const Key key{productId, header.savegameId, header.size, header.name};
    const auto found = published.numbers.find(key);
    if (found != published.numbers.end()) {
        return found->second;
    }
    const auto number = static_cast<std::uint32_t>(published.descriptions.size());
    published.descriptions.push_back(Description{productId, header});
    published.numbers.emplace(key, number);
    return number;
}

}  // namespace

void* Publish(unsigned int productId, const std::vector<SavegameHeader>& savegames) {
    std::vector<std::uint32_t> numbers;
    numbers.reserve(savegames.size() + 1);
    for (const SavegameHeader& header : savegames) {
        numbers.push_back(Number(productId, header));
    }
    // The spare element gives an empty list an address of its own.
    numbers.push_back(0);
    const auto& list = *ThePublished().lists.insert(std::move(numbers)).first;
    return const_cast<std::uint32_t*>(list.data());
}

const Description* Find(const void* record) {
    if (record == nullptr) {
        return nullptr;
    }
    std::uint32_t number;
    std::memcpy(&number, record, sizeof number);
    const Published& published = ThePublished();
    return number < published.descriptions.size() ? &published.descriptions[number] : nullptr;
}

}  // namespace qz::devservice::records
