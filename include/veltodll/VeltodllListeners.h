#pragma once

// The interfaces a service library calls to answer requests, one per request kind, for
// service-library authors (installed as <veltodll/VeltodllListeners.h>). Each has exactly one
// virtual operation and no virtual destructor: the service library calls slot 0, and the
// loader never destroys through these types.
//
// The listener a request passes is the client's own object. The service library calls it at
// most once per request id (the loader ignores any further answer), on the thread that drives
// the client, never while another call into the same client runs. A listener may be called
// from inside the request call itself. A client destroyed with requests pending keeps its
// listener alive, ignoring answers, so their late answers are harmless; once a client is
// destroyed with nothing pending, its listener is gone and must not be called again.
//
// The unsigned values are passed to the game unchanged.

namespace qz::veltodll {

class IGetLoginDetailsListener {
public:
    virtual void OnGetLoginDetails(unsigned int requestId, unsigned int value1, unsigned int value2,
                                   unsigned int value3) = 0;

protected:
    ~IGetLoginDetailsListener() = default;
};

class IGetVeltoServerListener {
public:
    virtual void OnGetVeltoServer(unsigned int requestId, unsigned int value) = 0;

protected:
    ~IGetVeltoServerListener() = default;
};

/// `reader` is the service library's opaque handle; null is allowed. The loader hands it back
/// to the reader entry points for as long as the game uses the reader, so it must stay valid
/// (at least as a closed reader) until the process ends.
class IGetSavegameReaderListener {
public:
    virtual void OnGetSavegameReader(unsigned int requestId, unsigned int result, void* reader) = 0;

protected:
    ~IGetSavegameReaderListener() = default;
};

/// `writer` is the service library's opaque handle; null is allowed. The loader hands it back
/// to the writer entry points for as long as the game uses the writer, so it must stay valid
/// (at least as a closed writer) until the process ends.
class IGetSavegameWriterListener {
public:
    virtual void OnGetSavegameWriter(unsigned int requestId, unsigned int result, void* writer) = 0;

protected:
    ~IGetSavegameWriterListener() = default;
};

/// `records` is the address of the first of `count` contiguous 4-byte savegame records (a
/// valid address also for count 0). The loader does not copy them: record i is handed back to
/// the SaveGameInfo entry points as `records` + 4 * i for as long as the game uses the list,
/// so the records must stay valid until the process ends.
class IGetSavegameListListener {
public:
    virtual void OnGetSavegameList(unsigned int requestId, void* records, unsigned int count) = 0;

protected:
    ~IGetSavegameListListener() = default;
};

class IRemoveSavegameListener {
public:
    virtual void OnRemoveSavegame(unsigned int requestId, unsigned int result) = 0;

protected:
    ~IRemoveSavegameListener() = default;
};

class IGetNetworkTrafficListener {
public:
    virtual void OnGetNetworkTraffic(unsigned int requestId, unsigned int bytesRead,
                                     unsigned int bytesWritten, unsigned int requests,
                                     unsigned int answers) = 0;

protected:
    ~IGetNetworkTrafficListener() = default;
};

}  // namespace qz::veltodll
