// Answers from the service library: each finds the game's listener of its kind by request id,
// takes it out of the table and only then wraps savegame objects and calls the game.

#include "Pimpl.h"

#include <cstdint>

#include "SavegamePimpl.h"

namespace qz::veltoclient {

// Pimpls of destroyed clients that still had requests pending, kept so that a late answer
// lands in an object with empty tables instead of freed memory. Zero-initialised: no static
// initialiser runs for it.
VeltoClient::Pimpl* VeltoClient::Pimpl::detachedPimpls;

// Finds the listener of an answered request and frees its entry before the game is called,
// so the game's callback may reuse the id. False for an id that is not pending.
template <typename Listener>
bool VeltoClient::Pimpl::TakeListener(RequestTable<Listener>& table, unsigned int requestId,
                                      Listener*& listener) {
    typename RequestTable<Listener>::KeyItem* item;
    if (!table.Find(requestId, item)) {
        return false;
    }
    listener = item->value;
    table.Remove(requestId);
    return true;
}

template <typename Listener>
void VeltoClient::Pimpl::RemoveAll(RequestTable<Listener>& table) {
    // Remove frees a slot without moving any other, so one pass sees every entry.
    for (unsigned int i = 0; i < table.GetSlotCount(); ++i) {
        const auto& slot = table.GetSlot(i);
        if (slot.inUse) {
            const unsigned int requestId = slot.key;
            table.Remove(requestId);
        }
    }
}

void VeltoClient::Pimpl::OnGetLoginDetails(unsigned int requestId, unsigned int first,
                                           unsigned int second, unsigned int third) {
    veltoclient::IGetLoginDetailsListener* listener;
    if (!TakeListener(loginDetailsRequests, requestId, listener)) {
        return;
    }
    listener->OnGetLoginDetails(requestId, first, second, third);
}

void VeltoClient::Pimpl::OnGetVeltoServer(unsigned int requestId, unsigned int value) {
    veltoclient::IGetVeltoServerListener* listener;
    if (!TakeListener(veltoServerRequests, requestId, listener)) {
        return;
    }
    listener->OnGetVeltoServer(requestId, value);
}

// A reader is delivered even for a null handle; its operations then do nothing.
void VeltoClient::Pimpl::OnGetSavegameReader(unsigned int requestId, unsigned int value,
                                             void* reader) {
    veltoclient::IGetSavegameReaderListener* listener;
    if (!TakeListener(savegameReaderRequests, requestId, listener)) {
        return;
    }
    SavegameReader* const wrapped = new SavegameReader;
    wrapped->pimpl->handle = reader;
    listener->OnGetSavegameReader(requestId, value, wrapped);
}

// A writer is delivered even for a null handle; its operations then do nothing.
void VeltoClient::Pimpl::OnGetSavegameWriter(unsigned int requestId, unsigned int value,
                                             void* writer) {
    veltoclient::IGetSavegameWriterListener* listener;
    if (!TakeListener(savegameWriterRequests, requestId, listener)) {
        return;
    }
    SavegameWriter* const wrapped = new SavegameWriter;
    wrapped->pimpl->handle = writer;
    listener->OnGetSavegameWriter(requestId, value, wrapped);
}

// The handle of a description is the address of its 4-byte record, not the record's contents.
// Array new gives a valid pointer for count 0 as well, and destroys the elements already built
// when a later one fails to allocate.
void VeltoClient::Pimpl::OnGetSavegameList(unsigned int requestId, void* records,
                                           unsigned int count) {
    veltoclient::IGetSavegameListListener* listener;
    if (!TakeListener(savegameListRequests, requestId, listener)) {
        return;
    }
    SavegameInfo* const savegames = new SavegameInfo[count];
    // Integer arithmetic: the addresses are only handed back to the service library, and a
    // bogus base must not become undefined pointer arithmetic here.
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(records);
    for (unsigned int i = 0; i < count; ++i) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        savegames[i].pimpl->handle = reinterpret_cast<void*>(first + std::uintptr_t{4} * i);
    }
    listener->OnGetSavegameList(requestId, savegames, count);
}

void VeltoClient::Pimpl::OnRemoveSavegame(unsigned int requestId, unsigned int value) {
    veltoclient::IRemoveSavegameListener* listener;
    if (!TakeListener(removeSavegameRequests, requestId, listener)) {
        return;
    }
    listener->OnRemoveSavegame(requestId, value);
}

void VeltoClient::Pimpl::OnGetNetworkTraffic(unsigned int requestId, unsigned int first,
                                             unsigned int second, unsigned int third,
                                             unsigned int fourth) {
    veltoclient::IGetNetworkTrafficListener* listener;
    if (!TakeListener(networkTrafficRequests, requestId, listener)) {
        return;
    }
    listener->OnGetNetworkTraffic(requestId, first, second, third, fourth);
}

bool VeltoClient::Pimpl::HasPendingRequests() const {
    return loginDetailsRequests.GetCount() != 0 || veltoServerRequests.GetCount() != 0 ||
           savegameReaderRequests.GetCount() != 0 || savegameWriterRequests.GetCount() != 0 ||
           savegameListRequests.GetCount() != 0 || removeSavegameRequests.GetCount() != 0 ||
           networkTrafficRequests.GetCount() != 0;
}

// The pending requests are dropped without a word to their listeners, as on destruction.
void VeltoClient::Pimpl::DropPendingRequests() {
    RemoveAll(loginDetailsRequests);
    RemoveAll(veltoServerRequests);
    RemoveAll(savegameReaderRequests);
    RemoveAll(savegameWriterRequests);
    RemoveAll(savegameListRequests);
    RemoveAll(removeSavegameRequests);
    RemoveAll(networkTrafficRequests);
}

void VeltoClient::Pimpl::Release(Pimpl* pimpl) {
    if (!pimpl->HasPendingRequests()) {
        delete pimpl;
        return;
    }
    pimpl->session = nullptr;
    pimpl->DropPendingRequests();
    pimpl->nextDetached = detachedPimpls;
    detachedPimpls = pimpl;
}

}  // namespace qz::veltoclient
