// The client facade: construction, destruction and the five plain forwards (Forwarding.h).

#include "veltoclient/VeltoClient.h"
#include "DllLoader.h"
#include "Forwarding.h"
#include "Pimpl.h"

namespace qz::veltoclient {

VeltoClient::VeltoClient() : pimpl(new Pimpl()) {
    unsigned int errorNum;
    try {
        errorNum = DllLoader::GetInstance()->GetInstallationErrorNum();
    } catch (...) {
        // Creating the binding ran out of memory: no destructor will free the Pimpl.
        Pimpl::Release(pimpl);
        throw;
    }
    // Error 0 means all 21 entry points are bound, so GetSession needs no test of its own.
    pimpl->session = errorNum == 0 ? DllLoader::GetInstance()->GetSession() : nullptr;
}

VeltoClient::~VeltoClient() {
    // The binding and the session stay: the service library has no way to take a session back.
    Pimpl::Release(pimpl);
}

unsigned int VeltoClient::GetInstallationErrorNum() {
    return DllLoader::GetInstance()->GetInstallationErrorNum();
}

void VeltoClient::Update() {
    Forward(pimpl->session, &DllLoader::Update);
}

unsigned int VeltoClient::GetRequestUniqueId() {
    return ForwardOr(0xFFFFFFFFu, pimpl->session, &DllLoader::GetRequestUniqueId);
}

bool VeltoClient::StartLauncher(unsigned int value1, unsigned int value2, const char* text1,
                                const char* text2) {
    return ForwardOr(false, pimpl->session, &DllLoader::StartLauncher, value1, value2, text1,
                     text2);
}

const unsigned short* VeltoClient::GetLocText(const unsigned short* text, const char* locale) {
    return ForwardOr(text, pimpl->session, &DllLoader::GetLocText, text, locale);
}

}  // namespace qz::veltoclient
