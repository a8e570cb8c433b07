#pragma once

// The interfaces a service library calls to answer requests, one per request kind. Each has
// exactly one virtual operation and no virtual destructor: the service library calls slot 0,
// and the loader never destroys through these types.

namespace qz::veltodll {

class IGetLoginDetailsListener {
public:
    virtual void OnGetLoginDetails(unsigned int requestId, unsigned int, unsigned int,
                                   unsigned int) = 0;

protected:
    ~IGetLoginDetailsListener() = default;
};

class IGetVeltoServerListener {
public:
    virtual void OnGetVeltoServer(unsigned int requestId, unsigned int) = 0;

protected:
    ~IGetVeltoServerListener() = default;
};

/// `reader` is the service library's opaque handle; null is allowed.
class IGetSavegameReaderListener {
public:
    virtual void OnGetSavegameReader(unsigned int requestId, unsigned int, void* reader) = 0;

protected:
    ~IGetSavegameReaderListener() = default;
};

/// `writer` is the service library's opaque handle; null is allowed.
class IGetSavegameWriterListener {
public:
    virtual void OnGetSavegameWriter(unsigned int requestId, unsigned int, void* writer) = 0;

protected:
    ~IGetSavegameWriterListener() = default;
};

/// `records` is the address of the first of `count` contiguous 4-byte savegame records.
class IGetSavegameListListener {
public:
    virtual void OnGetSavegameList(unsigned int requestId, void* records, unsigned int count) = 0;

protected:
    ~IGetSavegameListListener() = default;
};

class IRemoveSavegameListener {
public:
    virtual void OnRemoveSavegame(unsigned int requestId, unsigned int) = 0;

protected:
    ~IRemoveSavegameListener() = default;
};

class IGetNetworkTrafficListener {
public:
    virtual void OnGetNetworkTraffic(unsigned int requestId, unsigned int, unsigned int,
                                     unsigned int, unsigned int) = 0;

protected:
    ~IGetNetworkTrafficListener() = default;
};

}  // namespace qz::veltodll
