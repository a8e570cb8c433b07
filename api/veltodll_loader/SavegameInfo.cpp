#include "veltoclient/SavegameInfo.h"

#include "Forwarding.h"
#include "SavegamePimpl.h"

namespace qz::veltoclient {

SavegameInfo::SavegameInfo() : pimpl(new Pimpl) {}

// The record belongs to the service library: nothing to tell it.
SavegameInfo::~SavegameInfo() {
    delete pimpl;
}

const unsigned short* SavegameInfo::GetName() {
    return ForwardOr<const unsigned short*>(nullptr, pimpl->handle,
                                            &DllLoader::SaveGameInfoGetName);
}

unsigned int SavegameInfo::GetProductId() {
    return ForwardOr(0xFFFFFFFFu, pimpl->handle, &DllLoader::SaveGameInfoGetProductId);
}

unsigned int SavegameInfo::GetSavegameId() {
    return ForwardOr(0xFFFFFFFFu, pimpl->handle, &DllLoader::SaveGameInfoGetSavegameId);
}

unsigned int SavegameInfo::GetSize() {
    return ForwardOr(0u, pimpl->handle, &DllLoader::SaveGameInfoGetSize);
}

}  // namespace qz::veltoclient
