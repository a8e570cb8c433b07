#pragma once

#include "storage/Storage.h"

namespace qz::devservice {

class Session;

/// The process's storage, in the directory of the settings.
const Storage& TheStorage();

/// Readers and writers behind opaque handles. A handle is a number never given out twice, so
/// a made-up handle reaches nothing; on a closed one every operation does the neutral thing.
namespace savegames {

/// A reader of the savegame as committed now, or null with the reason in `result`.
void* OpenReader(Session* session, unsigned int productId, unsigned int savegameId,
                 ResultCode& result);
/// The reader's session, also after Close; null for an unknown handle.
Session* ReaderSession(void* reader);
/// Copies min(size, length - offset) bytes from `offset`; 0 at or past the end, for a closed
/// reader or a null buffer. Counted as the session's read bytes.
unsigned int Read(void* reader, unsigned int offset, void* buffer, unsigned int size);
void CloseReader(void* reader);

/// A writer of a new version of the savegame, or null with the reason in `result`.
void* OpenWriter(Session* session, unsigned int productId, unsigned int savegameId, bool overwrite,
                 ResultCode& result);
Session* WriterSession(void* writer);
/// Whether the handle is a writer that is not closed yet.
bool IsOpen(void* writer);
/// Names the version being written; false, name unchanged, for a name that is not 1 to 255
/// units of well-formed UTF-16, or a closed writer.
bool SetName(void* writer, const unsigned short* name);
/// Appends the bytes and returns `size`; 0 for a null buffer, a closed or failed writer, or a
/// savegame that would pass 0xFFFFFFFF bytes. Counted as the session's written bytes. A write
/// past a quota returns 0 and fails the writer: its version is never committed.
unsigned int Write(void* writer, const void* buffer, unsigned int size);
/// Marks the version as incomplete: later writes return 0 and Close(true) discards it.
void Fail(void* writer);
/// Commits (durably) or discards the version; nothing for a closed writer. A version that no
/// longer fits the quotas is discarded.
void CloseWriter(void* writer, bool commit);

}  // namespace savegames

}  // namespace qz::devservice
