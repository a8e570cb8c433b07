#include "veltoclient/SavegameWriter.h"

#include "Forwarding.h"
#include "SavegamePimpl.h"

namespace qz::veltoclient {

SavegameWriter::SavegameWriter() : pimpl(new Pimpl) {}

// Closing is the game's decision (Close); destroying the object never reaches the service.
SavegameWriter::~SavegameWriter() {
    delete pimpl;
}

bool SavegameWriter::SetName(unsigned short* name) {
    return ForwardOr(false, pimpl->handle, &DllLoader::SaveGameWriterSetName, name);
}

// The game's listener goes to the service library unchanged: write answers are not routed.
void SavegameWriter::Write(unsigned int requestId, ISavegameWriteListener* listener, void* buffer,
                           unsigned int size) {
    Forward(pimpl->handle, &DllLoader::SaveGameWriterWrite, requestId, listener, buffer, size);
}

// The handle is kept: a second Close is forwarded too, and the service library decides.
void SavegameWriter::Close(bool commit) {
    Forward(pimpl->handle, &DllLoader::SaveGameWriterClose, commit);
}

}  // namespace qz::veltoclient
