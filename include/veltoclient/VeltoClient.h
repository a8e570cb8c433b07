#pragma once

#include "veltoclient/Export.h"
#include "veltoclient/Listeners.h"
#include "veltoclient/SavegameInfo.h"
#include "veltoclient/SavegameReader.h"
#include "veltoclient/SavegameWriter.h"

namespace qz::veltoclient {

/// The game's connection to the platform.
///
/// The first client (or the first call of any operation) finds the platform's service library
/// through the registry, loads it and binds it, once per process. When that fails nothing fails
/// loudly: every operation returns a neutral result, requests are dropped, and
/// GetInstallationErrorNum / GetInstallationErrorString tell the player why.
///
/// Requests are asynchronous. The game passes a request id (normally from GetRequestUniqueId)
/// and a listener; the service library answers later, normally from inside Update, and the
/// listener is called exactly once per request. A client and the callbacks into it must be
/// used from one thread at a time.
class VELTOCLIENT_API VeltoClient {
public:
    VeltoClient();
    /// Pending requests are dropped without calling their listeners.
    ~VeltoClient();
    VeltoClient(const VeltoClient&) = delete;
    VeltoClient& operator=(const VeltoClient&) = delete;

    /// 0 = platform bound; 1 = not installed (registry key missing); 2 = service library not
    /// loadable; 3 = service library incomplete. Fixed for the life of the process.
    unsigned int GetInstallationErrorNum();
    /// Lets the service library do its work and deliver answers.
    void Update();
    /// A fresh request id, or 0xFFFFFFFF when the platform cannot be asked.
    unsigned int GetRequestUniqueId();
    /// Starts the platform's launcher; false when the platform cannot be asked.
    bool StartLauncher(unsigned int, unsigned int, const char*, const char*);
    /// The service library's localized text for `text`, or `text` itself when the platform
    /// cannot be asked.
    const unsigned short* GetLocText(const unsigned short* text, const char* locale);

    // Requests. Each answer reaches `listener` once; an answer to a request that could not be
    // made never comes. A second request with an id still pending replaces the first listener.
    void GetLoginDetails(unsigned int requestId, IGetLoginDetailsListener* listener);
    void GetVeltoServer(unsigned int requestId, IGetVeltoServerListener* listener, unsigned int,
                        unsigned int);
    void GetSavegameReader(unsigned int requestId, IGetSavegameReaderListener* listener,
                           unsigned int productId, unsigned int savegameId);
    void GetSavegameWriter(unsigned int requestId, IGetSavegameWriterListener* listener,
                           unsigned int productId, unsigned int savegameId, bool);
    void GetSavegameList(unsigned int requestId, IGetSavegameListListener* listener,
                         unsigned int productId);
    void RemoveSavegame(unsigned int requestId, IRemoveSavegameListener* listener,
                        unsigned int productId, unsigned int savegameId);
    void GetNetworkTraffic(unsigned int requestId, IGetNetworkTrafficListener* listener);

    /// A text for the player about the installation error, in UTF-16: "Vykaris Game Lancher: ",
    /// a line feed and the message of `locale` (such as "de-DE") with the error number. Empty
    /// for error 0. The text stays valid until the next call of this operation. `locale` may be
    /// null only when the error number is 0; a null locale otherwise gives the first line alone.
    unsigned short* GetInstallationErrorString(const char* locale);

private:
    class Pimpl;
    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
