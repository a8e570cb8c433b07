#include "veltoclient/SavegameReader.h"

#include "Forwarding.h"
#include "SavegamePimpl.h"

namespace qz::veltoclient {

SavegameReader::SavegameReader() : pimpl(new Pimpl) {}

// Closing is the game's decision (Close); destroying the object never reaches the service.
SavegameReader::~SavegameReader() {
    delete pimpl;
}

// The game's listener goes to the service library unchanged: read answers are not routed.
void SavegameReader::Read(unsigned int requestId, ISavegameReadListener* listener,
                          unsigned int offset, void* buffer, unsigned int size) {
    Forward(pimpl->handle, &DllLoader::SaveGameReaderRead, requestId, listener, offset, buffer,
            size);
}

// The handle is kept: a second Close is forwarded too, and the service library decides.
void SavegameReader::Close() {
    Forward(pimpl->handle, &DllLoader::SaveGameReaderClose);
}

}  // namespace qz::veltoclient
