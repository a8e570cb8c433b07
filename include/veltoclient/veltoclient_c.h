/* The game-side API as plain C functions, for games written in C, games built with another
 * compiler's C++ ABI, and other languages (the C# binding in bindings/csharp/ is built on it).
 * It lives in its own library, veltoclient_c (veltoclient_c.dll, libveltoclient_c.so), a thin
 * layer over the C++ classes of VeltoClient.h, which links the loader.
 *
 * Everything below behaves as its C++ counterpart does, with these rules of its own:
 *
 * Handles. veltoclient_client is created and destroyed by the game. The savegame handles
 * (veltoclient_savegame_info, veltoclient_reader, veltoclient_writer) are handed over by
 * answers, are never freed and stay valid until the process ends; the game never frees one.
 *
 * Callbacks. Every request takes a callback and a `context` pointer, which reaches the
 * callback unchanged; the library never reads it. A callback runs at most once per request,
 * on the thread that called veltoclient_update (or the request itself, when the service library
 * answers from inside it). A callback may make new requests, and may destroy the client.
 * Once a client was destroyed, no answer reaches a callback of its requests: neither those of
 * the client's own requests nor reads and writes of the readers and writers it delivered.
 * A callback must return normally: it must not unwind (longjmp, or a C++ exception) into the
 * library.
 *
 * Null arguments. A null handle is accepted everywhere and gives the neutral result: nothing
 * is done; 0 (false), 0xFFFFFFFF for ids, null for texts. A null callback makes a request do
 * nothing.
 *
 * Failures. Nothing here lets an exception out. Memory running out shows as a null client from
 * veltoclient_create and as a request function returning 0, and such a request is never
 * answered. A request function returns 1 when it handed the request on; the platform may still
 * drop it (no service library bound, no session), as the C++ API does, and then it is never
 * answered either.
 *
 * Memory. The few dozen bytes that the library keeps for a request are reused once its answer
 * arrives, and freed with the client. A read or write outlives its client until it is
 * answered; the library keeps what it needs for it until then (for a request that is never
 * answered, until the process ends).
 *
 * Threads. As in the C++ API: the library takes no locks; the first use must come from one
 * thread, before any other thread uses the library; a client, its handles and the callbacks
 * of its answers are used from one thread at a time.
 *
 * Texts. UTF-16 text is 0-terminated uint16_t units, passed through as the C++ API passes it.
 * Narrow text (locales, launcher arguments) is 0-terminated UTF-8.
 *
 * Calling convention. On 32-bit Windows every function and every callback is __cdecl
 * (VELTOCLIENT_C_CALL); elsewhere the platform's only C convention.
 */
#ifndef VELTOCLIENT_VELTOCLIENT_C_H
#define VELTOCLIENT_VELTOCLIENT_C_H

#include <stdint.h>

#if defined(_WIN32)
#define VELTOCLIENT_C_CALL __cdecl
#if defined(VELTOCLIENT_C_COMPILE_LIBRARY)
#define VELTOCLIENT_C_API __declspec(dllexport)
#else
#define VELTOCLIENT_C_API __declspec(dllimport)
#endif
#else
#define VELTOCLIENT_C_CALL
#if defined(VELTOCLIENT_C_COMPILE_LIBRARY)
#define VELTOCLIENT_C_API __attribute__((visibility("default")))
#else
#define VELTOCLIENT_C_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version of this header, as (major << 16) | (minor << 8) | patch; compare it with
 * veltoclient_c_version() to find a library older than the header. */
#define VELTOCLIENT_C_VERSION 0x000100u

/* A connection to the platform (VeltoClient). */
typedef struct veltoclient_client veltoclient_client;
/* The description of one savegame in a list answer (SavegameInfo). */
typedef struct veltoclient_savegame_info veltoclient_savegame_info;
/* An open savegame for reading (SavegameReader). */
typedef struct veltoclient_reader veltoclient_reader;
/* An open savegame for writing (SavegameWriter). */
typedef struct veltoclient_writer veltoclient_writer;

/* --- Answers. Each takes the request's context first, then the request id. The values are
 * the service library's, passed through unchanged (see Listeners.h for their meaning with the
 * development service). */

typedef void(VELTOCLIENT_C_CALL* veltoclient_login_details_callback)(
    void* context, uint32_t request_id, uint32_t value1, uint32_t value2, uint32_t value3);
typedef void(VELTOCLIENT_C_CALL* veltoclient_velto_server_callback)(void* context,
                                                                    uint32_t request_id,
                                                                    uint32_t value);
/* `reader` is never null, also when the service library gave none (its operations then do
 * nothing); close it when done. */
typedef void(VELTOCLIENT_C_CALL* veltoclient_savegame_reader_callback)(void* context,
                                                                       uint32_t request_id,
                                                                       uint32_t result,
                                                                       veltoclient_reader* reader);
/* `writer` is never null, also when the service library gave none; close it when done. */
typedef void(VELTOCLIENT_C_CALL* veltoclient_savegame_writer_callback)(void* context,
                                                                       uint32_t request_id,
                                                                       uint32_t result,
                                                                       veltoclient_writer* writer);
/* `count` descriptions; reach each with veltoclient_savegame_info_at(savegames, index).
 * `savegames` is never null, also when `count` is 0. */
typedef void(VELTOCLIENT_C_CALL* veltoclient_savegame_list_callback)(
    void* context, uint32_t request_id, veltoclient_savegame_info* savegames, uint32_t count);
typedef void(VELTOCLIENT_C_CALL* veltoclient_remove_savegame_callback)(void* context,
                                                                       uint32_t request_id,
                                                                       uint32_t result);
typedef void(VELTOCLIENT_C_CALL* veltoclient_network_traffic_callback)(
    void* context, uint32_t request_id, uint32_t bytes_read, uint32_t bytes_written,
    uint32_t requests, uint32_t answers);
/* How many bytes the service library copied into the read's buffer. */
typedef void(VELTOCLIENT_C_CALL* veltoclient_savegame_read_callback)(void* context,
                                                                     uint32_t request_id,
                                                                     uint32_t bytes_read);
/* How many bytes the service library took from the write's buffer. */
typedef void(VELTOCLIENT_C_CALL* veltoclient_savegame_write_callback)(void* context,
                                                                      uint32_t request_id,
                                                                      uint32_t bytes_written);

/* --- The library. */

/* The library's version, in the form of VELTOCLIENT_C_VERSION. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL veltoclient_c_version(void);

/* --- The client. */

/* Binds the service library on first use and opens a session when it is bound. Null only when
 * memory runs out; the platform's absence gives a client whose operations are neutral. */
VELTOCLIENT_C_API veltoclient_client* VELTOCLIENT_C_CALL veltoclient_create(void);
/* Pending requests, reads and writes of the client and of its readers and writers are dropped
 * without calling their callbacks (a read's or write's buffer must still outlive its answer).
 * Must not be called twice for one client; the client must not be used afterwards. */
VELTOCLIENT_C_API void VELTOCLIENT_C_CALL veltoclient_destroy(veltoclient_client* client);

/* 0 = platform bound; 1 = not installed; 2 = service library not loadable; 3 = service
 * library incomplete. Fixed for the life of the process. 0xFFFFFFFF for a null client. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL
veltoclient_get_installation_error_num(veltoclient_client* client);
/* The text for the player about the installation error in `locale` (such as "de-DE"; null or
 * an unknown one gives the first line alone); empty for error 0. One process-wide buffer owned
 * by the library, valid until the next call of this function (or the process ends); the game
 * must not free or change it. Null for a null client. */
VELTOCLIENT_C_API const uint16_t* VELTOCLIENT_C_CALL
veltoclient_get_installation_error_string(veltoclient_client* client, const char* locale);
/* Lets the service library work and deliver answers: callbacks normally run inside it. */
VELTOCLIENT_C_API void VELTOCLIENT_C_CALL veltoclient_update(veltoclient_client* client);
/* A fresh request id, or 0xFFFFFFFF when the platform cannot be asked. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL
veltoclient_get_request_unique_id(veltoclient_client* client);
/* 1 when the platform's launcher was started with the values as given, 0 otherwise (the
 * development service always answers 0). */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_start_launcher(veltoclient_client* client,
                                                                        uint32_t value1,
                                                                        uint32_t value2,
                                                                        const char* text1,
                                                                        const char* text2);
/* The service library's localized text for `text` in `locale`, or `text` itself when the
 * platform cannot be asked. Owned by the service library (or the game) and valid as long as it
 * says; copy it to keep it. */
VELTOCLIENT_C_API const uint16_t* VELTOCLIENT_C_CALL
veltoclient_get_loc_text(veltoclient_client* client, const uint16_t* text, const char* locale);

/* --- Requests. Each returns 1 when handed on, 0 when not (null client or callback, memory
 * exhausted); see "Failures" above. A second request of the same kind with an id still pending
 * replaces the first callback, which is then never called. Requests of different kinds may
 * share an id. */

VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL
veltoclient_get_login_details(veltoclient_client* client, uint32_t request_id,
                              veltoclient_login_details_callback callback, void* context);
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_get_velto_server(
    veltoclient_client* client, uint32_t request_id, veltoclient_velto_server_callback callback,
    void* context, uint32_t value1, uint32_t value2);
/* Opens savegame `savegame_id` of product `product_id` for reading. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_reader(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_reader_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id);
/* Opens savegame `savegame_id` of product `product_id` for writing; with `overwrite` 0 the
 * development service refuses a savegame that exists. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_writer(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_writer_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id, int32_t overwrite);
/* Lists the savegames of product `product_id`. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_get_savegame_list(
    veltoclient_client* client, uint32_t request_id, veltoclient_savegame_list_callback callback,
    void* context, uint32_t product_id);
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_remove_savegame(
    veltoclient_client* client, uint32_t request_id, veltoclient_remove_savegame_callback callback,
    void* context, uint32_t product_id, uint32_t savegame_id);
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL
veltoclient_get_network_traffic(veltoclient_client* client, uint32_t request_id,
                                veltoclient_network_traffic_callback callback, void* context);

/* --- Savegame descriptions. */

/* Description `index` of a list answer's `savegames`; `index` must be below the answer's
 * count. Null for null `savegames`. */
VELTOCLIENT_C_API veltoclient_savegame_info* VELTOCLIENT_C_CALL
veltoclient_savegame_info_at(veltoclient_savegame_info* savegames, uint32_t index);
/* The name as 0-terminated UTF-16, owned by the service library (the development service:
 * valid until the process ends); null when there is none to ask. */
VELTOCLIENT_C_API const uint16_t* VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_name(veltoclient_savegame_info* info);
/* 0xFFFFFFFF when there is none to ask. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_product_id(veltoclient_savegame_info* info);
/* 0xFFFFFFFF when there is none to ask. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_savegame_id(veltoclient_savegame_info* info);
/* 0 when there is none to ask. */
VELTOCLIENT_C_API uint32_t VELTOCLIENT_C_CALL
veltoclient_savegame_info_get_size(veltoclient_savegame_info* info);

/* --- Readers. */

/* Asks the service library to copy up to `size` bytes from `offset` into `buffer`, which must
 * stay valid, with room for `size` bytes, until the answer arrives: also after the client that
 * delivered the reader was destroyed, since the service library may still fill it then (only
 * the callback is not called). Returns as the requests above do, and 0 once that client was
 * destroyed (the read is then not made); the read is never answered when the reader has no
 * savegame behind it. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_reader_read(
    veltoclient_reader* reader, uint32_t request_id, veltoclient_savegame_read_callback callback,
    void* context, uint32_t offset, void* buffer, uint32_t size);
/* Closes the savegame in the service library; the handle stays valid. */
VELTOCLIENT_C_API void VELTOCLIENT_C_CALL veltoclient_reader_close(veltoclient_reader* reader);

/* --- Writers. */

/* Names the savegame: `name` is 0-terminated UTF-16, read during the call and not kept. 0 when
 * the service library refuses (the development service takes 1 to 255 units of well-formed
 * UTF-16) or cannot be asked. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_writer_set_name(veltoclient_writer* writer,
                                                                         const uint16_t* name);
/* Asks the service library to append `size` bytes from `buffer`, which must stay valid until
 * the answer arrives, also after the client that delivered the writer was destroyed (as for
 * reads). Returns as the requests above do, and 0 once that client was destroyed (the write is
 * then not made); the write is never answered when the writer has no savegame behind it. */
VELTOCLIENT_C_API int32_t VELTOCLIENT_C_CALL veltoclient_writer_write(
    veltoclient_writer* writer, uint32_t request_id, veltoclient_savegame_write_callback callback,
    void* context, const void* buffer, uint32_t size);
/* Closes the savegame: with `commit` non-zero the bytes written and the name become the
 * savegame (for the development service durably, when this returns); with 0 they are
 * discarded. The handle stays valid. */
VELTOCLIENT_C_API void VELTOCLIENT_C_CALL veltoclient_writer_close(veltoclient_writer* writer,
                                                                   int32_t commit);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VELTOCLIENT_VELTOCLIENT_C_H */
