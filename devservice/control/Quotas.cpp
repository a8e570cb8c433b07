#include "control/Quotas.h"

namespace qz::devservice {

bool FitsQuotas(const Quotas& quotas, const Storage& storage, unsigned int productId,
                unsigned int savegameId, unsigned long long size) {
    if (size > quotas.maxSavegameBytes) {
        return false;
    }
    if (quotas.maxProductBytes == kNoLimit && quotas.maxProductSavegames == kNoLimit) {
        return true;
    }
    unsigned long long bytes = size;
    unsigned long long count = 1;
    for (const SavegameHeader& other : storage.List(productId)) {
        if (other.savegameId != savegameId) {
            bytes += other.size;
            ++count;
        }
    }
    return bytes <= quotas.maxProductBytes && count <= quotas.maxProductSavegames;
}

}  // namespace qz::devservice
