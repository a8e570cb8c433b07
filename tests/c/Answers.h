#ifndef QZ_TESTS_C_ANSWERS_H
#define QZ_TESTS_C_ANSWERS_H

/* Callbacks of every kind that record their answer in the `Answer` given as their context. */

#include <veltoclient/veltoclient_c.h>

typedef struct Answer {
    unsigned int calls;
    void* context; /* as the callback received it */
    uint32_t request_id;
    uint32_t values[4];
    void* handle; /* reader, writer or the list's first description */
} Answer;

void VELTOCLIENT_C_CALL on_login_details(void* context, uint32_t request_id, uint32_t value1,
                                         uint32_t value2, uint32_t value3);
void VELTOCLIENT_C_CALL on_velto_server(void* context, uint32_t request_id, uint32_t value);
void VELTOCLIENT_C_CALL on_savegame_reader(void* context, uint32_t request_id, uint32_t result,
                                           veltoclient_reader* reader);
void VELTOCLIENT_C_CALL on_savegame_writer(void* context, uint32_t request_id, uint32_t result,
                                           veltoclient_writer* writer);
void VELTOCLIENT_C_CALL on_savegame_list(void* context, uint32_t request_id,
                                         veltoclient_savegame_info* savegames, uint32_t count);
void VELTOCLIENT_C_CALL on_remove_savegame(void* context, uint32_t request_id, uint32_t result);
void VELTOCLIENT_C_CALL on_network_traffic(void* context, uint32_t request_id, uint32_t bytes_read,
                                           uint32_t bytes_written, uint32_t requests,
                                           uint32_t answers);
void VELTOCLIENT_C_CALL on_savegame_read(void* context, uint32_t request_id, uint32_t bytes_read);
void VELTOCLIENT_C_CALL on_savegame_write(void* context, uint32_t request_id,
                                          uint32_t bytes_written);

#endif
