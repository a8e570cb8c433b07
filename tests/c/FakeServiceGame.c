/* A game in C driving every function of the C interface against the fake service library,
 * which the registry of the case points at. The binding is made once per process, so each
 * case (environment variable QZ_C_CASE) runs in a process of its own:
 *   bound           forwards, every request kind, many pending, the savegame handles, late
 *                   answers, callbacks that make requests or destroy their client, null
 *                   arguments
 *   error1..error3  the installation errors, their text, and inert clients */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <veltoclient/veltoclient_c.h>

#include "Answers.h"
#include "Check.h"
#include "FakeServiceBinding.h"

static const uint16_t kText[] = {'H', 'i', 0};
static FakeService fake;

static FakeServiceReply reply(unsigned int a, unsigned int b, unsigned int c, unsigned int d) {
    FakeServiceReply answer;
    memset(&answer, 0, sizeof answer);
    answer.values[0] = a;
    answer.values[1] = b;
    answer.values[2] = c;
    answer.values[3] = d;
    return answer;
}

static void check_answer(const Answer* answer, uint32_t id, uint32_t a, uint32_t b, uint32_t c,
                         uint32_t d) {
    CHECK_EQ(answer->calls, 1);
    CHECK(answer->context == answer);
    CHECK_EQ(answer->request_id, id);
    CHECK_EQ(answer->values[0], a);
    CHECK_EQ(answer->values[1], b);
    CHECK_EQ(answer->values[2], c);
    CHECK_EQ(answer->values[3], d);
}

static void check_forwards(veltoclient_client* client) {
    FakeServiceCall launch;
    const uint16_t* error_text;
    check_case("forwards");
    CHECK_EQ(veltoclient_c_version(), VELTOCLIENT_C_VERSION);
    CHECK_EQ(veltoclient_get_installation_error_num(client), 0);
    fake.SetNextRequestId(41);
    CHECK_EQ(veltoclient_get_request_unique_id(client), 41);
    CHECK_EQ(veltoclient_start_launcher(client, 3, 4, "game", "args"), 1);
    launch = fake_service_last_call(&fake, FAKE_StartLauncher);
    CHECK_EQ(launch.values[0], 3);
    CHECK_EQ(launch.values[1], 4);
    CHECK(launch.text8[1] != NULL && strcmp(launch.text8[1], "args") == 0);
    CHECK(veltoclient_get_loc_text(client, kText, "de-DE") == fake.DefaultLocText());
    CHECK(fake_service_last_call(&fake, FAKE_GetLocText).text16 == kText);
    error_text = veltoclient_get_installation_error_string(client, "en-US");
    CHECK(error_text != NULL && error_text[0] == 0);
}

/* One request of each kind, each with its own context, answered through Update. */
static void check_requests(veltoclient_client* client) {
    Answer answers[7];
    FakeServiceCall call;
    FakeServiceReply list = reply(0, 0, 0, 0);
    FakeServiceReply reader = reply(0, 0, 0, 0);
    FakeServiceReply writer = reply(5, 0, 0, 0);
    FakeServiceReply value;
    check_case("every request kind");
    memset(answers, 0, sizeof answers);
    CHECK_EQ(veltoclient_get_login_details(client, 1, on_login_details, &answers[0]), 1);
    CHECK_EQ(veltoclient_get_velto_server(client, 2, on_velto_server, &answers[1], 7, 8), 1);
    CHECK_EQ(veltoclient_get_savegame_reader(client, 3, on_savegame_reader, &answers[2], 10, 11),
             1);
    CHECK_EQ(veltoclient_get_savegame_writer(client, 4, on_savegame_writer, &answers[3], 12, 13, 1),
             1);
    CHECK_EQ(veltoclient_get_savegame_list(client, 5, on_savegame_list, &answers[4], 14), 1);
    CHECK_EQ(veltoclient_remove_savegame(client, 6, on_remove_savegame, &answers[5], 15, 16), 1);
    CHECK_EQ(veltoclient_get_network_traffic(client, 7, on_network_traffic, &answers[6]), 1);
    call = fake_service_last_call(&fake, FAKE_GetVeltoServer);
    CHECK(call.requestId == 2 && call.values[0] == 7 && call.values[1] == 8);
    call = fake_service_last_call(&fake, FAKE_GetSavegameWriter);
    CHECK(call.requestId == 4 && call.values[0] == 12 && call.values[1] == 13 && call.flag == 1);
    call = fake_service_last_call(&fake, FAKE_RemoveSavegame);
    CHECK(call.requestId == 6 && call.values[0] == 15 && call.values[1] == 16);

    value = reply(1, 2, 3, 0);
    fake.QueueAnswer(FAKESERVICE_KIND_LOGIN_DETAILS, 1, &value);
    value = reply(9, 0, 0, 0);
    fake.QueueAnswer(FAKESERVICE_KIND_VELTO_SERVER, 2, &value);
    reader.handle = (void*)&answers; /* any non-null service-side handle */
    fake.QueueAnswer(FAKESERVICE_KIND_SAVEGAME_READER, 3, &reader);
    fake.QueueAnswer(FAKESERVICE_KIND_SAVEGAME_WRITER, 4, &writer);
    list.records = (void*)kText;
    list.count = 0;
    fake.QueueAnswer(FAKESERVICE_KIND_SAVEGAME_LIST, 5, &list);
    value = reply(4, 0, 0, 0);
    fake.QueueAnswer(FAKESERVICE_KIND_REMOVE_SAVEGAME, 6, &value);
    value = reply(100, 200, 3, 4);
    fake.QueueAnswer(FAKESERVICE_KIND_NETWORK_TRAFFIC, 7, &value);
    veltoclient_update(client);

    check_answer(&answers[0], 1, 1, 2, 3, 0);
    check_answer(&answers[1], 2, 9, 0, 0, 0);
    check_answer(&answers[2], 3, 0, 0, 0, 0);
    CHECK(answers[2].handle != NULL);
    check_answer(&answers[3], 4, 5, 0, 0, 0);
    CHECK(answers[3].handle != NULL);
    check_answer(&answers[4], 5, 0, 0, 0, 0);
    CHECK(answers[4].handle != NULL);
    check_answer(&answers[5], 6, 4, 0, 0, 0);
    check_answer(&answers[6], 7, 100, 200, 3, 4);

    check_case("answered ids are forgotten");
    fake.Answer(FAKESERVICE_KIND_LOGIN_DETAILS, 1, &value);
    CHECK_EQ(answers[0].calls, 1);
}

/* More requests pending than the client keeps nodes for at first: each still reaches its own
 * callback and context, answered newest first. Static: the readers stay reachable. */
static void check_many_pending(veltoclient_client* client) {
    static Answer answers[40];
    FakeServiceReply value = reply(1, 2, 3, 0);
    unsigned int i;
    check_case("many requests pending");
    memset(answers, 0, sizeof answers);
    for (i = 0; i < 40; ++i) {
        CHECK_EQ(i % 2 == 0
                     ? veltoclient_get_login_details(client, 100 + i, on_login_details, &answers[i])
                     : veltoclient_get_savegame_reader(client, 100 + i, on_savegame_reader,
                                                       &answers[i], 0, 0),
                 1);
    }
    for (i = 40; i-- > 0;) {
        CHECK(fake.Answer(
            i % 2 == 0 ? FAKESERVICE_KIND_LOGIN_DETAILS : FAKESERVICE_KIND_SAVEGAME_READER, 100 + i,
            &value));
        CHECK_EQ(answers[i].calls, 1);
        CHECK(answers[i].context == &answers[i]);
        CHECK_EQ(answers[i].request_id, 100 + i);
        CHECK(i % 2 == 0 || answers[i].handle != NULL);
    }
}

static veltoclient_reader* open_reader(veltoclient_client* client, unsigned int id, void* handle) {
    Answer answer;
    FakeServiceReply opened = reply(0, 0, 0, 0);
    memset(&answer, 0, sizeof answer);
    opened.handle = handle;
    veltoclient_get_savegame_reader(client, id, on_savegame_reader, &answer, 1, 2);
    fake.Answer(FAKESERVICE_KIND_SAVEGAME_READER, id, &opened);
    return (veltoclient_reader*)answer.handle;
}

static veltoclient_writer* open_writer(veltoclient_client* client, unsigned int id, void* handle) {
    Answer answer;
    FakeServiceReply opened = reply(0, 0, 0, 0);
    memset(&answer, 0, sizeof answer);
    opened.handle = handle;
    veltoclient_get_savegame_writer(client, id, on_savegame_writer, &answer, 1, 2, 0);
    fake.Answer(FAKESERVICE_KIND_SAVEGAME_WRITER, id, &opened);
    return (veltoclient_writer*)answer.handle;
}

static void check_savegame_handles(veltoclient_client* client) {
    static const uint16_t kName[] = {'S', 'a', 'v', 'e', 0};
    static unsigned char records[12];
    unsigned char buffer[8];
    int service_reader;
    int service_writer;
    Answer read;
    Answer write;
    Answer listed;
    FakeServiceCall call;
    FakeServiceReply value = reply(6, 0, 0, 0);
    FakeServiceReply list = reply(0, 0, 0, 0);
    veltoclient_reader* const reader = open_reader(client, 20, &service_reader);
    veltoclient_writer* const writer = open_writer(client, 21, &service_writer);
    unsigned int i;

    check_case("reader");
    memset(&read, 0, sizeof read);
    CHECK(reader != NULL);
    CHECK_EQ(veltoclient_reader_read(reader, 22, on_savegame_read, &read, 3, buffer, sizeof buffer),
             1);
    call = fake_service_last_call(&fake, FAKE_SaveGameReaderRead);
    CHECK(call.handle == &service_reader && call.requestId == 22);
    CHECK(call.values[0] == 3 && call.values[1] == sizeof buffer && call.buffer == buffer);
    fake.Answer(FAKESERVICE_KIND_SAVEGAME_READ, 22, &value);
    check_answer(&read, 22, 6, 0, 0, 0);
    veltoclient_reader_close(reader);
    CHECK(fake_service_last_call(&fake, FAKE_SaveGameReaderClose).handle == &service_reader);

    check_case("writer");
    memset(&write, 0, sizeof write);
    CHECK(writer != NULL);
    fake.SetWriterSetNameResult(0);
    CHECK_EQ(veltoclient_writer_set_name(writer, kName), 0);
    fake.SetWriterSetNameResult(1);
    CHECK_EQ(veltoclient_writer_set_name(writer, kName), 1);
    CHECK(fake_service_last_call(&fake, FAKE_SaveGameWriterSetName).text16 == kName);
    CHECK_EQ(veltoclient_writer_write(writer, 23, on_savegame_write, &write, buffer, 5), 1);
    call = fake_service_last_call(&fake, FAKE_SaveGameWriterWrite);
    CHECK(call.handle == &service_writer && call.buffer == buffer && call.values[0] == 5);
    value = reply(5, 0, 0, 0);
    fake.Answer(FAKESERVICE_KIND_SAVEGAME_WRITE, 23, &value);
    check_answer(&write, 23, 5, 0, 0, 0);
    veltoclient_writer_close(writer, 1);
    call = fake_service_last_call(&fake, FAKE_SaveGameWriterClose);
    CHECK(call.handle == &service_writer && call.flag == 1);
    veltoclient_writer_close(writer, 0);
    CHECK_EQ(fake_service_last_call(&fake, FAKE_SaveGameWriterClose).flag, 0);

    check_case("savegame list");
    memset(&listed, 0, sizeof listed);
    fake.SetInfoResults(kName, 7, 8, 9);
    veltoclient_get_savegame_list(client, 24, on_savegame_list, &listed, 7);
    list.records = records;
    list.count = 3;
    fake.Answer(FAKESERVICE_KIND_SAVEGAME_LIST, 24, &list);
    check_answer(&listed, 24, 3, 0, 0, 0);
    for (i = 0; i < 3; ++i) {
        veltoclient_savegame_info* const info =
            veltoclient_savegame_info_at((veltoclient_savegame_info*)listed.handle, i);
        CHECK(veltoclient_savegame_info_get_name(info) == kName);
        CHECK(fake_service_last_call(&fake, FAKE_SaveGameInfoGetName).handle == records + 4 * i);
        CHECK_EQ(veltoclient_savegame_info_get_product_id(info), 7);
        CHECK_EQ(veltoclient_savegame_info_get_savegame_id(info), 8);
        CHECK_EQ(veltoclient_savegame_info_get_size(info), 9);
    }
}

/* A callback that asks again: the login details with the same id, once. */
static veltoclient_client* asking_client;
static void VELTOCLIENT_C_CALL ask_again(void* context, uint32_t request_id, uint32_t value1,
                                         uint32_t value2, uint32_t value3) {
    Answer* const answer = (Answer*)context;
    on_login_details(context, request_id, value1, value2, value3);
    if (answer->calls == 1) {
        CHECK_EQ(veltoclient_get_login_details(asking_client, request_id, ask_again, context), 1);
    }
}

/* A callback that destroys its client. */
static void VELTOCLIENT_C_CALL destroy_client(void* context, uint32_t request_id, uint32_t value) {
    on_velto_server(context, request_id, value);
    veltoclient_destroy(asking_client);
    asking_client = NULL;
}

static void check_callbacks_that_act(void) {
    Answer asked;
    Answer destroyer;
    Answer after;
    FakeServiceReply value = reply(1, 0, 0, 0);

    check_case("a callback makes a new request");
    memset(&asked, 0, sizeof asked);
    asking_client = veltoclient_create();
    veltoclient_get_login_details(asking_client, 30, ask_again, &asked);
    fake.QueueAnswer(FAKESERVICE_KIND_LOGIN_DETAILS, 30, &value);
    veltoclient_update(asking_client);
    CHECK_EQ(asked.calls, 1);
    fake.QueueAnswer(FAKESERVICE_KIND_LOGIN_DETAILS, 30, &value);
    veltoclient_update(asking_client);
    CHECK_EQ(asked.calls, 2);

    check_case("a callback destroys its client");
    memset(&destroyer, 0, sizeof destroyer);
    memset(&after, 0, sizeof after);
    veltoclient_get_velto_server(asking_client, 31, destroy_client, &destroyer, 0, 0);
    veltoclient_get_velto_server(asking_client, 32, on_velto_server, &after, 0, 0);
    fake.QueueAnswer(FAKESERVICE_KIND_VELTO_SERVER, 31, &value);
    fake.QueueAnswer(FAKESERVICE_KIND_VELTO_SERVER, 32, &value);
    veltoclient_update(asking_client);
    CHECK_EQ(destroyer.calls, 1);
    CHECK(asking_client == NULL);
    CHECK_EQ(after.calls, 0);

    check_case("an answer from inside the request");
    memset(&after, 0, sizeof after);
    asking_client = veltoclient_create();
    fake.SetAnswerImmediately(FAKESERVICE_KIND_VELTO_SERVER, &value);
    CHECK_EQ(veltoclient_get_velto_server(asking_client, 33, on_velto_server, &after, 0, 0), 1);
    check_answer(&after, 33, 1, 0, 0, 0);
    fake.SetAnswerImmediately(FAKESERVICE_KIND_VELTO_SERVER, NULL);
    veltoclient_destroy(asking_client);
}

/* Answers after the client was destroyed: of its requests, and of reads and writes of its
 * reader and writer, which the service library calls directly. */
static void check_late_answers(void) {
    Answer answers[9];
    unsigned char buffer[4];
    int service_handle;
    FakeServiceReply value = reply(1, 1, 1, 1);
    veltoclient_client* const client = veltoclient_create();
    veltoclient_reader* const reader = open_reader(client, 40, &service_handle);
    veltoclient_writer* const writer = open_writer(client, 41, &service_handle);
    veltoclient_client* const other = veltoclient_create();
    Answer others;
    int kind;

    check_case("late answers");
    memset(answers, 0, sizeof answers);
    veltoclient_get_login_details(client, 50, on_login_details, &answers[0]);
    veltoclient_get_velto_server(client, 51, on_velto_server, &answers[1], 0, 0);
    veltoclient_get_savegame_reader(client, 52, on_savegame_reader, &answers[2], 0, 0);
    veltoclient_get_savegame_writer(client, 53, on_savegame_writer, &answers[3], 0, 0, 0);
    veltoclient_get_savegame_list(client, 54, on_savegame_list, &answers[4], 0);
    veltoclient_remove_savegame(client, 55, on_remove_savegame, &answers[5], 0, 0);
    veltoclient_get_network_traffic(client, 56, on_network_traffic, &answers[6]);
    CHECK_EQ(veltoclient_reader_read(reader, 57, on_savegame_read, &answers[7], 0, buffer, 4), 1);
    CHECK_EQ(veltoclient_writer_write(writer, 58, on_savegame_write, &answers[8], buffer, 4), 1);
    memset(&others, 0, sizeof others);
    veltoclient_get_login_details(other, 70, on_login_details, &others);
    veltoclient_destroy(client);

    value.records = buffer;
    for (kind = 0; kind < FAKESERVICE_KIND_COUNT; ++kind) {
        CHECK(fake.Answer(kind, 50 + (unsigned int)kind, &value));
    }
    for (kind = 0; kind < FAKESERVICE_KIND_COUNT; ++kind) {
        CHECK_EQ(answers[kind].calls, 0);
    }
    /* Another client's answers still arrive. */
    CHECK(fake.Answer(FAKESERVICE_KIND_LOGIN_DETAILS, 70, &value));
    CHECK_EQ(others.calls, 1);
    veltoclient_destroy(other);

    check_case("handles of a destroyed client");
    CHECK_EQ(veltoclient_reader_read(reader, 59, on_savegame_read, &answers[7], 0, buffer, 4), 0);
    CHECK_EQ(veltoclient_writer_write(writer, 60, on_savegame_write, &answers[8], buffer, 4), 0);
    /* Closing still reaches the service library: it releases the savegame. */
    veltoclient_writer_close(writer, 0);
    CHECK(fake_service_last_call(&fake, FAKE_SaveGameWriterClose).handle == &service_handle);
}

static void check_null_arguments(veltoclient_client* client) {
    Answer answer;
    unsigned char buffer[1];
    check_case("null arguments");
    memset(&answer, 0, sizeof answer);
    veltoclient_destroy(NULL);
    veltoclient_update(NULL);
    CHECK_EQ(veltoclient_get_installation_error_num(NULL), 0xFFFFFFFFu);
    CHECK(veltoclient_get_installation_error_string(NULL, "en-US") == NULL);
    CHECK_EQ(veltoclient_get_request_unique_id(NULL), 0xFFFFFFFFu);
    CHECK_EQ(veltoclient_start_launcher(NULL, 0, 0, "", ""), 0);
    CHECK(veltoclient_get_loc_text(NULL, kText, "en-US") == NULL);
    CHECK_EQ(veltoclient_get_login_details(NULL, 1, on_login_details, &answer), 0);
    CHECK_EQ(veltoclient_get_login_details(client, 1, NULL, &answer), 0);
    CHECK_EQ(veltoclient_get_savegame_reader(client, 1, NULL, &answer, 0, 0), 0);
    CHECK_EQ(veltoclient_get_savegame_writer(NULL, 1, on_savegame_writer, &answer, 0, 0, 0), 0);
    CHECK(veltoclient_savegame_info_at(NULL, 3) == NULL);
    CHECK(veltoclient_savegame_info_get_name(NULL) == NULL);
    CHECK_EQ(veltoclient_savegame_info_get_product_id(NULL), 0xFFFFFFFFu);
    CHECK_EQ(veltoclient_savegame_info_get_savegame_id(NULL), 0xFFFFFFFFu);
    CHECK_EQ(veltoclient_savegame_info_get_size(NULL), 0);
    CHECK_EQ(veltoclient_reader_read(NULL, 1, on_savegame_read, &answer, 0, buffer, 1), 0);
    veltoclient_reader_close(NULL);
    CHECK_EQ(veltoclient_writer_set_name(NULL, kText), 0);
    CHECK_EQ(veltoclient_writer_write(NULL, 1, on_savegame_write, &answer, buffer, 1), 0);
    veltoclient_writer_close(NULL, 1);
    CHECK_EQ(answer.calls, 0);
}

static void run_bound(void) {
    veltoclient_client* client;
    check_case("bound");
    if (!CHECK(fake_service_open(&fake))) {
        return;
    }
    fake.Reset();
    client = veltoclient_create();
    if (!CHECK(client != NULL)) {
        return;
    }
    check_forwards(client);
    check_requests(client);
    check_many_pending(client);
    check_savegame_handles(client);
    check_null_arguments(client);
    veltoclient_destroy(client);
    check_callbacks_that_act();
    check_late_answers();
}

/* The texts of the installation errors for "en-US" and without a locale. */
static void run_error(uint32_t error) {
    static const char* const kFirstLine = "Vykaris Game Lancher: \n";
    char expected[160];
    Answer answer;
    veltoclient_client* const client = veltoclient_create();
    check_case("installation error");
    memset(&answer, 0, sizeof answer);
    if (!CHECK(client != NULL)) {
        return;
    }
    CHECK_EQ(veltoclient_get_installation_error_num(client), error);
    CHECK(check_same_text(veltoclient_get_installation_error_string(client, NULL), kFirstLine));
    snprintf(expected, sizeof expected, "%sError code %u.", kFirstLine, (unsigned int)error);
    CHECK(check_same_text(veltoclient_get_installation_error_string(client, "en-US"), expected));

    check_case("an inert client");
    CHECK_EQ(veltoclient_get_request_unique_id(client), 0xFFFFFFFFu);
    CHECK_EQ(veltoclient_start_launcher(client, 1, 2, "a", "b"), 0);
    CHECK(veltoclient_get_loc_text(client, kText, "en-US") == kText);
    /* Handed on and dropped by the platform, as in the C++ API: never answered. */
    CHECK_EQ(veltoclient_get_login_details(client, 1, on_login_details, &answer), 1);
    CHECK_EQ(veltoclient_get_savegame_reader(client, 2, on_savegame_reader, &answer, 0, 0), 1);
    veltoclient_update(client);
    CHECK_EQ(answer.calls, 0);
    veltoclient_destroy(client);
}

int main(void) {
    const char* const which = getenv("QZ_C_CASE");
    if (which == NULL) {
        printf("QZ_C_CASE is not set\n");
        return 1;
    }
    if (strcmp(which, "bound") == 0) {
        run_bound();
    } else if (strncmp(which, "error", 5) == 0) {
        run_error((uint32_t)atoi(which + 5));
    } else {
        printf("unknown case %s\n", which);
        return 1;
    }
    return check_result();
}
