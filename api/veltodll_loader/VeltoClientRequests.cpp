// The seven asynchronous requests of VeltoClient. Each one stores the game's listener under the
// request id in the table of its kind and hands the service library the client's Pimpl in its
// place; Pimpl.cpp routes the answer back.
//
// The entry is stored before the entry point is called, so an answer delivered from inside
// that call is routed like any other.

#include "DllLoader.h"
#include "Pimpl.h"

namespace qz::veltoclient {

void VeltoClient::GetLoginDetails(unsigned int requestId, IGetLoginDetailsListener* listener) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetLoginDetails == nullptr) {
        return;
    }
    pimpl->loginDetailsRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetLoginDetails(
        pimpl->session, requestId, static_cast<veltodll::IGetLoginDetailsListener*>(pimpl));
}

void VeltoClient::GetVeltoServer(unsigned int requestId, IGetVeltoServerListener* listener,
                                 unsigned int first, unsigned int second) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetVeltoServer == nullptr) {
        return;
    }
    pimpl->veltoServerRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetVeltoServer(pimpl->session, requestId,
                                             static_cast<veltodll::IGetVeltoServerListener*>(pimpl),
                                             first, second);
}

void VeltoClient::GetSavegameReader(unsigned int requestId, IGetSavegameReaderListener* listener,
                                    unsigned int productId, unsigned int savegameId) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetSavegameReader == nullptr) {
        return;
    }
    pimpl->savegameReaderRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetSavegameReader(
        pimpl->session, requestId, static_cast<veltodll::IGetSavegameReaderListener*>(pimpl),
        productId, savegameId);
}

void VeltoClient::GetSavegameWriter(unsigned int requestId, IGetSavegameWriterListener* listener,
                                    unsigned int productId, unsigned int savegameId, bool flag) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetSavegameWriter == nullptr) {
        return;
    }
    pimpl->savegameWriterRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetSavegameWriter(
        pimpl->session, requestId, static_cast<veltodll::IGetSavegameWriterListener*>(pimpl),
        productId, savegameId, flag);
}

void VeltoClient::GetSavegameList(unsigned int requestId, IGetSavegameListListener* listener,
                                  unsigned int productId) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetSavegameList == nullptr) {
        return;
    }
    pimpl->savegameListRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetSavegameList(
        pimpl->session, requestId, static_cast<veltodll::IGetSavegameListListener*>(pimpl),
        productId);
}

void VeltoClient::RemoveSavegame(unsigned int requestId, IRemoveSavegameListener* listener,
                                 unsigned int productId, unsigned int savegameId) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->RemoveSavegame == nullptr) {
        return;
    }
    pimpl->removeSavegameRequests.Set(requestId, listener);
    DllLoader::GetInstance()->RemoveSavegame(pimpl->session, requestId,
                                             static_cast<veltodll::IRemoveSavegameListener*>(pimpl),
                                             productId, savegameId);
}

void VeltoClient::GetNetworkTraffic(unsigned int requestId, IGetNetworkTrafficListener* listener) {
    if (pimpl->session == nullptr || DllLoader::GetInstance()->GetNetworkTraffic == nullptr) {
        return;
    }
    pimpl->networkTrafficRequests.Set(requestId, listener);
    DllLoader::GetInstance()->GetNetworkTraffic(
        pimpl->session, requestId, static_cast<veltodll::IGetNetworkTrafficListener*>(pimpl));
}

}  // namespace qz::veltoclient
