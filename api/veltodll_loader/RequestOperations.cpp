// The seven asynchronous requests of VeltoClient. Each one stores the game's listener under the
// request id in the table of its kind and hands the service library the client's Pimpl in its
// place (Pimpl::SendRequest); RequestAnswers.cpp routes the answer back.

#include "Pimpl.h"

namespace qz::veltoclient {

void VeltoClient::GetLoginDetails(unsigned int requestId, IGetLoginDetailsListener* listener) {
    pimpl->SendRequest<veltodll::IGetLoginDetailsListener>(
        &DllLoader::GetLoginDetails, pimpl->loginDetailsRequests, requestId, listener);
}

void VeltoClient::GetVeltoServer(unsigned int requestId, IGetVeltoServerListener* listener,
                                 unsigned int value1, unsigned int value2) {
    pimpl->SendRequest<veltodll::IGetVeltoServerListener>(&DllLoader::GetVeltoServer,
                                                          pimpl->veltoServerRequests, requestId,
                                                          listener, value1, value2);
}

void VeltoClient::GetSavegameReader(unsigned int requestId, IGetSavegameReaderListener* listener,
                                    unsigned int productId, unsigned int savegameId) {
    pimpl->SendRequest<veltodll::IGetSavegameReaderListener>(
        &DllLoader::GetSavegameReader, pimpl->savegameReaderRequests, requestId, listener,
        productId, savegameId);
}

void VeltoClient::GetSavegameWriter(unsigned int requestId, IGetSavegameWriterListener* listener,
                                    unsigned int productId, unsigned int savegameId,
                                    bool overwrite) {
    pimpl->SendRequest<veltodll::IGetSavegameWriterListener>(
        &DllLoader::GetSavegameWriter, pimpl->savegameWriterRequests, requestId, listener,
        productId, savegameId, overwrite);
}

void VeltoClient::GetSavegameList(unsigned int requestId, IGetSavegameListListener* listener,
                                  unsigned int productId) {
    pimpl->SendRequest<veltodll::IGetSavegameListListener>(
        &DllLoader::GetSavegameList, pimpl->savegameListRequests, requestId, listener, productId);
}

void VeltoClient::RemoveSavegame(unsigned int requestId, IRemoveSavegameListener* listener,
                                 unsigned int productId, unsigned int savegameId) {
    pimpl->SendRequest<veltodll::IRemoveSavegameListener>(&DllLoader::RemoveSavegame,
                                                          pimpl->removeSavegameRequests, requestId,
                                                          listener, productId, savegameId);
}

void VeltoClient::GetNetworkTraffic(unsigned int requestId, IGetNetworkTrafficListener* listener) {
    pimpl->SendRequest<veltodll::IGetNetworkTrafficListener>(
        &DllLoader::GetNetworkTraffic, pimpl->networkTrafficRequests, requestId, listener);
}

}  // namespace qz::veltoclient
