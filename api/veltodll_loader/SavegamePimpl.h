#pragma once

#include "veltoclient/SavegameInfo.h"
#include "veltoclient/SavegameReader.h"
#include "veltoclient/SavegameWriter.h"

namespace qz::veltoclient {

// The private part of each savegame handle class: the service library's object behind it. The
// routing layer sets `handle` after construction; null means there is nothing to forward to.

struct SavegameInfo::Pimpl {
    /// Address of this savegame's record in the service library's list answer.
    void* handle = nullptr;
};

struct SavegameReader::Pimpl {
    /// The reader the service library passed in its savegame-reader answer.
    void* handle = nullptr;
};

struct SavegameWriter::Pimpl {
    /// The writer the service library passed in its savegame-writer answer.
    void* handle = nullptr;
};

}  // namespace qz::veltoclient
