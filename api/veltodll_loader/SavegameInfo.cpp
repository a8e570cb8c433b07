#include "veltoclient/SavegameInfo.h"

#include "DllLoader.h"
#include "SavegamePimpl.h"

namespace qz::veltoclient {

SavegameInfo::SavegameInfo() : pimpl(new Pimpl) {}

// The record belongs to the service library: nothing to tell it.
SavegameInfo::~SavegameInfo() {
    delete pimpl;
}

const unsigned short* SavegameInfo::GetName() {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameInfoGetName == nullptr) {
        return nullptr;
    }
    return DllLoader::GetInstance()->SaveGameInfoGetName(pimpl->handle);
}

unsigned int SavegameInfo::GetProductId() {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameInfoGetProductId == nullptr) {
        return 0xFFFFFFFF;
    }
    return DllLoader::GetInstance()->SaveGameInfoGetProductId(pimpl->handle);
}

unsigned int SavegameInfo::GetSavegameId() {
    if (pimpl->handle == nullptr ||
        DllLoader::GetInstance()->SaveGameInfoGetSavegameId == nullptr) {
        return 0xFFFFFFFF;
    }
    return DllLoader::GetInstance()->SaveGameInfoGetSavegameId(pimpl->handle);
}

unsigned int SavegameInfo::GetSize() {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameInfoGetSize == nullptr) {
        return 0;
    }
    return DllLoader::GetInstance()->SaveGameInfoGetSize(pimpl->handle);
}

}  // namespace qz::veltoclient
