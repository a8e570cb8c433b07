#pragma once

#include "storage/Storage.h"

namespace qz::devservice {

/// No limit beyond what the file format holds.
constexpr unsigned long long kNoLimit = ~0ull;

/// Storage limits, in bytes of contents (names and headers do not count).
struct Quotas {
    unsigned long long maxSavegameBytes = kNoLimit;
    unsigned long long maxProductBytes = kNoLimit;
    unsigned long long maxProductSavegames = kNoLimit;

    /// Whether a limit needs the product's other savegames to decide.
    bool LimitProducts() const {
        return maxProductBytes != kNoLimit || maxProductSavegames != kNoLimit;
    }
};

/// Whether the product stays within `quotas` when savegame `savegameId` holds `size` bytes,
/// in place of its committed version or as a new savegame; `usage`: the product's committed
/// savegames.
bool FitsQuotas(const Quotas& quotas, const ProductUsage& usage, unsigned int savegameId,
                unsigned long long size);

}  // namespace qz::devservice
