#include "control/Quotas.h"

namespace qz::devservice {

bool FitsQuotas(const Quotas& quotas, const ProductUsage& usage, unsigned int savegameId,
                unsigned long long size) {
    if (size > quotas.maxSavegameBytes) {
        return false;
    }
    unsigned long long bytes = usage.bytes + size;
    unsigned long long count = usage.sizes.size() + 1;
    const auto old = usage.sizes.find(savegameId);
    if (old != usage.sizes.end()) {
        bytes -= old->second;
        --count;
    }
    return bytes <= quotas.maxProductBytes && count <= quotas.maxProductSavegames;
}

}  // namespace qz::devservice
