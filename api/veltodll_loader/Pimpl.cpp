#include "Pimpl.h"

namespace qz::veltoclient {

// Placeholder answers: routing replaces these.
void VeltoClient::Pimpl::OnGetLoginDetails(unsigned int, unsigned int, unsigned int, unsigned int) {
}
void VeltoClient::Pimpl::OnGetVeltoServer(unsigned int, unsigned int) {}
void VeltoClient::Pimpl::OnGetSavegameReader(unsigned int, unsigned int, void*) {}
void VeltoClient::Pimpl::OnGetSavegameWriter(unsigned int, unsigned int, void*) {}
void VeltoClient::Pimpl::OnGetSavegameList(unsigned int, void*, unsigned int) {}
void VeltoClient::Pimpl::OnRemoveSavegame(unsigned int, unsigned int) {}
void VeltoClient::Pimpl::OnGetNetworkTraffic(unsigned int, unsigned int, unsigned int, unsigned int,
                                             unsigned int) {}

void VeltoClient::Pimpl::Release(Pimpl* pimpl) {
    delete pimpl;
}

}  // namespace qz::veltoclient
