#include <string>

#include "tool/Commands.h"

namespace qz::devservice::tool {

std::string RunRemove(Storage& storage, const Arguments& arguments) {
    if (arguments.size() != 2) {
        throw UsageError("expected a product and a savegame");
    }
    const unsigned int productId = ProductId(arguments[0]);
    const unsigned int savegameId = SavegameId(arguments[1]);
    std::string reason;
    switch (storage.Remove(productId, savegameId, reason)) {
        case ResultCode::kDone:
            return "removed " + SavegameText(productId, savegameId);
        case ResultCode::kNoSuchSavegame:
            throw Failure("no savegame " + arguments[1] + " in product " + arguments[0]);
        default:
            throw Failure("cannot remove savegame " + arguments[1] + " of product " + arguments[0] +
                          ": " + reason);
    }
}

std::string RunReset(Storage& storage, const Arguments& arguments) {
    if (arguments.size() > 1) {
        throw UsageError("too many arguments");
    }
    const std::vector<unsigned int> products =
        arguments.empty() ? storage.Products() : std::vector<unsigned int>{ProductId(arguments[0])};
    unsigned long long removed = 0;
    for (const unsigned int productId : products) {
        std::string reason;
        if (!storage.Reset(productId, removed, reason)) {
            throw Failure("cannot remove every file of product " + std::to_string(productId) +
                          ": " + reason + " (" + CountText(removed, "file") + " removed)");
        }
    }
    return "removed " + CountText(removed, "file") +
           (arguments.empty() ? " of " + CountText(products.size(), "product")
                              : " of product " + arguments[0]);
}

}  // namespace qz::devservice::tool
