#include "veltoclient/SavegameWriter.h"

#include "DllLoader.h"
#include "SavegamePimpl.h"

namespace qz::veltoclient {

SavegameWriter::SavegameWriter() : pimpl(new Pimpl) {}

// Closing is the game's decision (Close); destroying the object never reaches the service.
SavegameWriter::~SavegameWriter() {
    delete pimpl;
}

bool SavegameWriter::SetName(unsigned short* name) {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameWriterSetName == nullptr) {
        return false;
    }
    return DllLoader::GetInstance()->SaveGameWriterSetName(pimpl->handle, name);
}

// The game's listener goes to the service library unchanged: write answers are not routed.
void SavegameWriter::Write(unsigned int requestId, ISavegameWriteListener* listener, void* buffer,
                           unsigned int size) {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameWriterWrite == nullptr) {
        return;
    }
    DllLoader::GetInstance()->SaveGameWriterWrite(pimpl->handle, requestId, listener, buffer, size);
}

// The handle is kept: a second Close is forwarded too, and the service library decides.
void SavegameWriter::Close(bool commit) {
    if (pimpl->handle == nullptr || DllLoader::GetInstance()->SaveGameWriterClose == nullptr) {
        return;
    }
    DllLoader::GetInstance()->SaveGameWriterClose(pimpl->handle, commit);
}

}  // namespace qz::veltoclient
