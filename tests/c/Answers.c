#include "Answers.h"

#include <stddef.h>

/* Handles that answers deliver live until the process ends, as a game keeps them: held here,
 * so that the leak checker of the sanitizer build sees them (and what they own) as reachable. */
static void* delivered[1024];
static unsigned int delivered_count;

static Answer* record(void* context, uint32_t request_id, uint32_t value1, uint32_t value2,
                      uint32_t value3, uint32_t value4, void* handle) {
    Answer* const answer = (Answer*)context;
    ++answer->calls;
    answer->context = context;
    answer->request_id = request_id;
    answer->values[0] = value1;
    answer->values[1] = value2;
    answer->values[2] = value3;
    answer->values[3] = value4;
    answer->handle = handle;
    if (handle != NULL && delivered_count < sizeof delivered / sizeof delivered[0]) {
        delivered[delivered_count++] = handle;
    }
    return answer;
}

void VELTOCLIENT_C_CALL on_login_details(void* context, uint32_t request_id, uint32_t value1,
                                         uint32_t value2, uint32_t value3) {
    record(context, request_id, value1, value2, value3, 0, NULL);
}

void VELTOCLIENT_C_CALL on_velto_server(void* context, uint32_t request_id, uint32_t value) {
    record(context, request_id, value, 0, 0, 0, NULL);
}

void VELTOCLIENT_C_CALL on_savegame_reader(void* context, uint32_t request_id, uint32_t result,
                                           veltoclient_reader* reader) {
    record(context, request_id, result, 0, 0, 0, reader);
}

void VELTOCLIENT_C_CALL on_savegame_writer(void* context, uint32_t request_id, uint32_t result,
                                           veltoclient_writer* writer) {
    record(context, request_id, result, 0, 0, 0, writer);
}

void VELTOCLIENT_C_CALL on_savegame_list(void* context, uint32_t request_id,
                                         veltoclient_savegame_info* savegames, uint32_t count) {
    record(context, request_id, count, 0, 0, 0, savegames);
}

void VELTOCLIENT_C_CALL on_remove_savegame(void* context, uint32_t request_id, uint32_t result) {
    record(context, request_id, result, 0, 0, 0, NULL);
}

void VELTOCLIENT_C_CALL on_network_traffic(void* context, uint32_t request_id, uint32_t bytes_read,
                                           uint32_t bytes_written, uint32_t requests,
                                           uint32_t answers) {
    record(context, request_id, bytes_read, bytes_written, requests, answers, NULL);
}

void VELTOCLIENT_C_CALL on_savegame_read(void* context, uint32_t request_id, uint32_t bytes_read) {
    record(context, request_id, bytes_read, 0, 0, 0, NULL);
}

void VELTOCLIENT_C_CALL on_savegame_write(void* context, uint32_t request_id,
                                          uint32_t bytes_written) {
    record(context, request_id, bytes_written, 0, 0, 0, NULL);
}
