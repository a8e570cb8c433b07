#include "common/HashBytes.h"

namespace qz::common {

unsigned int HashBytes1(const void* data, unsigned int seed, unsigned int length) {
    return hash_bytes::Djb2Continue(hash_bytes::Djb2AfterSeed(seed),
                                    static_cast<const unsigned char*>(data), length);
}

unsigned int HashBytes2(const void* data, unsigned int seed, unsigned int length) {
    return hash_bytes::SdbmContinue(hash_bytes::SdbmAfterSeed(seed),
                                    static_cast<const unsigned char*>(data), length);
}

}  // namespace qz::common
