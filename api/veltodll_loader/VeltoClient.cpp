// The client facade: construction, destruction and the five plain forwards. Every forward
// tests the session, then its entry pointer, and otherwise returns its neutral result; the
// binding is fetched on every use, never cached, so a client never outlives a pointer.

#include "veltoclient/VeltoClient.h"
#include "DllLoader.h"
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
    if (pimpl->session != nullptr && DllLoader::GetInstance()->Update != nullptr) {
        DllLoader::GetInstance()->Update(pimpl->session);
    }
}

unsigned int VeltoClient::GetRequestUniqueId() {
    if (pimpl->session != nullptr && DllLoader::GetInstance()->GetRequestUniqueId != nullptr) {
        return DllLoader::GetInstance()->GetRequestUniqueId(pimpl->session);
    }
    return 0xFFFFFFFFu;
}

bool VeltoClient::StartLauncher(unsigned int a, unsigned int b, const char* c, const char* d) {
    if (pimpl->session != nullptr && DllLoader::GetInstance()->StartLauncher != nullptr) {
        return DllLoader::GetInstance()->StartLauncher(pimpl->session, a, b, c, d);
    }
    return false;
}

const unsigned short* VeltoClient::GetLocText(const unsigned short* text, const char* locale) {
    if (pimpl->session != nullptr && DllLoader::GetInstance()->GetLocText != nullptr) {
        return DllLoader::GetInstance()->GetLocText(pimpl->session, text, locale);
    }
    return text;
}

}  // namespace qz::veltoclient
