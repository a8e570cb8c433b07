#pragma once

#include "veltoclient/Export.h"
#include "veltoclient/Listeners.h"
#include "veltoclient/SavegameInfo.h"
#include "veltoclient/SavegameReader.h"
#include "veltoclient/SavegameWriter.h"

namespace qz::veltoclient {

/// The game's connection to the platform.
///
/// Binding: the first client (or the first call of GetInstallationErrorNum or
/// GetInstallationErrorString) finds the platform's service library through the registry,
/// loads it and binds it, once per process; the outcome, the installation error number, is
/// fixed from then on. When binding fails nothing fails loudly: every operation returns a
/// neutral result, requests are dropped, and GetInstallationErrorNum and
/// GetInstallationErrorString tell the player why.
///
/// Requests are asynchronous. The game passes a request id (normally from GetRequestUniqueId)
/// and a listener; the service library answers later, normally from inside Update, and the
/// listener is called at most once per request (see Listeners.h for what a listener must
/// outlive and who owns what an answer hands over).
///
/// Threads: the library takes no locks. The binding and the error text are process-wide, so
/// the first use must come from one thread, before any other thread uses the library. A client,
/// and the answers delivered into it, must be used from one thread at a time.
///
/// Values: unsigned values and texts that the game passes are handed to the service library
/// unchanged, and its results to the game unchanged; where the development service gives them
/// a meaning, it is noted.
///
/// Exceptions: std::bad_alloc is the only one that leaves the library, when an object cannot be
/// allocated: the binding (on the process's first use), a client, the error text's buffer, or
/// what Update wraps for an answer. The library's containers never throw: when one cannot grow
/// (a client's table of pending requests, the error text), the process ends at once, without a
/// message (std::abort; on Windows exit code 3).
class VELTOCLIENT_API VeltoClient {
public:
    /// Binds the service library on first use and opens a session when it is bound.
    /// Throws std::bad_alloc when memory runs out; the platform's absence never throws.
    VeltoClient();
    /// Pending requests are dropped without calling their listeners; answers that the service
    /// library still delivers later for them are ignored. The binding stays for the process.
    ~VeltoClient();
    VeltoClient(const VeltoClient&) = delete;
    VeltoClient& operator=(const VeltoClient&) = delete;

    /// 0 = platform bound; 1 = not installed (registry key missing); 2 = service library not
    /// loadable; 3 = service library incomplete. Fixed for the life of the process. Throws
    /// std::bad_alloc only as the process's first use, when the binding cannot be allocated.
    unsigned int GetInstallationErrorNum();
    /// Lets the service library do its work and deliver answers: listeners are normally called
    /// from inside this call. A listener may make requests, call Update again and destroy its
    /// client; whether a nested Update delivers more answers is the service library's choice
    /// (the development service's does).
    ///
    /// Throws std::bad_alloc when the SavegameReader, SavegameWriter or SavegameInfo array for
    /// an answer cannot be allocated. That answer is lost: its request is no longer pending, its
    /// listener is never called, and a reader or writer opened for it is never closed (the
    /// development service keeps such a writer's savegame in use until the process ends). The
    /// exception passes through the service library, which must let it (the development service
    /// does, and delivers its remaining answers in a later Update).
    void Update();
    /// A fresh request id, or 0xFFFFFFFF when the platform cannot be asked.
    unsigned int GetRequestUniqueId();
    /// Starts the platform's launcher with the values as given; false when the platform cannot
    /// be asked (the development service always answers false). `text1` and `text2` are passed
    /// on as they are, null included, and only for the call: the loader keeps no copy, and a
    /// service library that needs them later copies them, so the game may free them once the
    /// call returns.
    bool StartLauncher(unsigned int value1, unsigned int value2, const char* text1,
                       const char* text2);
    /// The service library's localized text for `text` (0-terminated 16-bit units) in `locale`,
    /// or `text` itself when the platform cannot be asked. The returned text is the service
    /// library's (or the game's own pointer) and is valid for as long as the service library
    /// says; copy it to keep it. The loader never copies or frees either text.
    const unsigned short* GetLocText(const unsigned short* text, const char* locale);

    // Requests. Each answer reaches `listener` at most once; a request that cannot be made
    // (no session, or the entry point missing) is dropped and never answered. A second request
    // of the same kind with an id still pending replaces the first listener. Requests of
    // different kinds may share an id.
    //
    // `listener` must not be null: it is kept as given and called when the answer comes, and a
    // null one crashes the game there. Its callback must not throw (see Listeners.h). A pending
    // request's listener is kept in a table of the client that grows as needed; when it cannot
    // grow, the process ends (see Exceptions above).

    void GetLoginDetails(unsigned int requestId, IGetLoginDetailsListener* listener);
    void GetVeltoServer(unsigned int requestId, IGetVeltoServerListener* listener,
                        unsigned int value1, unsigned int value2);
    /// Opens savegame `savegameId` of product `productId` for reading.
    void GetSavegameReader(unsigned int requestId, IGetSavegameReaderListener* listener,
                           unsigned int productId, unsigned int savegameId);
    /// Opens savegame `savegameId` of product `productId` for writing; with `overwrite` false
    /// the development service refuses a savegame that exists.
    void GetSavegameWriter(unsigned int requestId, IGetSavegameWriterListener* listener,
                           unsigned int productId, unsigned int savegameId, bool overwrite);
    /// Lists the savegames of product `productId`.
    void GetSavegameList(unsigned int requestId, IGetSavegameListListener* listener,
                         unsigned int productId);
    void RemoveSavegame(unsigned int requestId, IRemoveSavegameListener* listener,
                        unsigned int productId, unsigned int savegameId);
    void GetNetworkTraffic(unsigned int requestId, IGetNetworkTrafficListener* listener);

    /// A text for the player about the installation error, in UTF-16 ending in a 0 unit:
    /// "Vykaris Game Lancher: ", a line feed and the message of `locale` (such as "de-DE")
    /// with the error number; an unknown locale gives the first line alone. Empty for error 0.
    /// The text is one process-wide buffer owned by the library: it stays valid until the next
    /// call of this operation on any client (or the process ends), and the game must neither
    /// free it nor write to it (the pointer is not const for the interface's sake alone; the
    /// empty text is read-only storage). `locale` may be null; then the first line alone is
    /// given. Throws std::bad_alloc when the binding (as the process's first use) or, on the
    /// first call that composes a text, the buffer cannot be allocated.
    unsigned short* GetInstallationErrorString(const char* locale);

private:
    class Pimpl;
    Pimpl* pimpl;
};

}  // namespace qz::veltoclient
