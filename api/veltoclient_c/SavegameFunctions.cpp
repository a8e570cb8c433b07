// The C functions of the savegame handles: descriptions, readers and writers.

#include "SavegameHandles.h"
#include "TransferNode.h"

namespace veltoclient = qz::veltoclient;
using qz::veltoclient::SavegameInfo;
using qz::veltoclient_c::TransferNode;

namespace {

SavegameInfo* Info(veltoclient_savegame_info* info) {
    return reinterpret_cast<SavegameInfo*>(info);
}

// Starts a read or write: `start` hands the C++ object a node that answers `callback`. Reads
// and writes of a client that no longer exists are not made: their answers could never reach
// the game.
template <typename Handle, typename Start>
int32_t StartTransfer(Handle* handle, TransferNode::Callback callback, void* context, Start start) {
    if (handle == nullptr || callback == nullptr || !handle->owner->alive) {
        return 0;
    }
    TransferNode* const node = TransferNode::Create(handle->owner, callback, context);
    if (node == nullptr) {
        return 0;
    }
    start(*handle->object, node);
    return 1;
}

}  // namespace

extern "C" {

veltoclient_savegame_info* VELTOCLIENT_C_CALL
veltoclient_savegame_info_at(veltoclient_savegame_info* savegames, uint32_t index) {
    if (savegames == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<veltoclient_savegame_info*>(Info(savegames) + index);
}

const uint16_t* VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_name(veltoclient_savegame_info* info) {
    return info != nullptr ? Info(info)->GetName() : nullptr;
}

uint32_t VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_product_id(veltoclient_savegame_info* info) {
    return info != nullptr ? Info(info)->GetProductId() : 0xFFFFFFFFu;
}

uint32_t VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_savegame_id(veltoclient_savegame_info* info) {
    return info != nullptr ? Info(info)->GetSavegameId() : 0xFFFFFFFFu;
}

uint32_t VELTOCLIENT_C_CALL veltoclient_savegame_info_get_size(veltoclient_savegame_info* info) {
    return info != nullptr ? Info(info)->GetSize() : 0;
}

int32_t VELTOCLIENT_C_CALL veltoclient_reader_read(veltoclient_reader* reader, uint32_t request_id,
                                                   veltoclient_savegame_read_callback callback,
                                                   void* context, uint32_t offset, void* buffer,
                                                   uint32_t size) {
    return StartTransfer(reader, callback, context,
                         [&](veltoclient::SavegameReader& object, TransferNode* node) {
                             object.Read(request_id, node, offset, buffer, size);
                         });
}

void VELTOCLIENT_C_CALL veltoclient_reader_close(veltoclient_reader* reader) {
    if (reader != nullptr) {
        reader->object->Close();
    }
}

int32_t VELTOCLIENT_C_CALL veltoclient_writer_set_name(veltoclient_writer* writer,
                                                       const uint16_t* name) {
    // The service library reads the name and does not keep it, so it is never written through.
    return writer != nullptr && writer->object->SetName(const_cast<uint16_t*>(name)) ? 1 : 0;
}

int32_t VELTOCLIENT_C_CALL veltoclient_writer_write(veltoclient_writer* writer, uint32_t request_id,
                                                    veltoclient_savegame_write_callback callback,
                                                    void* context, const void* buffer,
                                                    uint32_t size) {
    // The service library only reads the buffer of a write.
    return StartTransfer(writer, callback, context,
                         [&](veltoclient::SavegameWriter& object, TransferNode* node) {
                             object.Write(request_id, node, const_cast<void*>(buffer), size);
                         });
}

void VELTOCLIENT_C_CALL veltoclient_writer_close(veltoclient_writer* writer, int32_t commit) {
    if (writer != nullptr) {
        writer->object->Close(commit != 0);
    }
}

}  // extern "C"
