/* A game in C against the development service on an empty storage directory: login, write a
 * named savegame, find it in the list, read it back byte for byte, remove it, and the traffic
 * figures, pumping veltoclient_update until each answer arrives. */

#include <stdio.h>
#include <string.h>

#include <veltoclient/veltoclient_c.h>

#include "Answers.h"
#include "Check.h"

enum { kProduct = 4242, kSavegame = 7, kSize = 3000, kMostUpdates = 10000 };

static veltoclient_client* client;

/* Pumps Update until `answer` was called; 0 when it never is. */
static int wait_for(const Answer* answer) {
    int updates;
    for (updates = 0; answer->calls == 0 && updates < kMostUpdates; ++updates) {
        veltoclient_update(client);
    }
    return CHECK_EQ(answer->calls, 1);
}

static void write_savegame(const unsigned char* contents) {
    static const uint16_t kName[] = {'C', ' ', 's', 'a', 'v', 'e', 0};
    Answer opened;
    Answer written;
    veltoclient_writer* writer;
    check_case("write");
    memset(&opened, 0, sizeof opened);
    memset(&written, 0, sizeof written);
    veltoclient_get_savegame_writer(client, veltoclient_get_request_unique_id(client),
                                    on_savegame_writer, &opened, kProduct, kSavegame, 1);
    if (!wait_for(&opened) || !CHECK_EQ(opened.values[0], 0)) {
        return;
    }
    writer = (veltoclient_writer*)opened.handle;
    CHECK_EQ(veltoclient_writer_set_name(writer, kName), 1);
    CHECK_EQ(veltoclient_writer_write(writer, veltoclient_get_request_unique_id(client),
                                      on_savegame_write, &written, contents, kSize),
             1);
    if (wait_for(&written)) {
        CHECK_EQ(written.values[0], kSize);
    }
    veltoclient_writer_close(writer, 1);
}

/* The product's savegames; 1 when there is exactly `expected` of them. */
static int list_savegames(uint32_t expected, veltoclient_savegame_info** first) {
    Answer listed;
    int listed_as_expected;
    memset(&listed, 0, sizeof listed);
    veltoclient_get_savegame_list(client, veltoclient_get_request_unique_id(client),
                                  on_savegame_list, &listed, kProduct);
    listed_as_expected = wait_for(&listed) && CHECK_EQ(listed.values[0], expected);
    *first = (veltoclient_savegame_info*)listed.handle;
    return listed_as_expected;
}

static void read_back(const unsigned char* contents) {
    static unsigned char buffer[kSize + 10];
    Answer opened;
    Answer read;
    veltoclient_reader* reader;
    check_case("read back");
    memset(&opened, 0, sizeof opened);
    memset(&read, 0, sizeof read);
    veltoclient_get_savegame_reader(client, veltoclient_get_request_unique_id(client),
                                    on_savegame_reader, &opened, kProduct, kSavegame);
    if (!wait_for(&opened) || !CHECK_EQ(opened.values[0], 0)) {
        return;
    }
    reader = (veltoclient_reader*)opened.handle;
    veltoclient_reader_read(reader, veltoclient_get_request_unique_id(client), on_savegame_read,
                            &read, 0, buffer, sizeof buffer);
    if (wait_for(&read)) {
        CHECK_EQ(read.values[0], kSize);
        CHECK(memcmp(buffer, contents, kSize) == 0);
    }
    veltoclient_reader_close(reader);
}

int main(void) {
    static unsigned char contents[kSize];
    Answer login;
    Answer removed;
    Answer traffic;
    veltoclient_savegame_info* first;
    unsigned int i;

    for (i = 0; i < kSize; ++i) {
        contents[i] = (unsigned char)(i * 7 + i / 256);
    }
    memset(&login, 0, sizeof login);
    memset(&removed, 0, sizeof removed);
    memset(&traffic, 0, sizeof traffic);
    client = veltoclient_create();
    check_case("bound");
    if (!CHECK(client != NULL) || !CHECK_EQ(veltoclient_get_installation_error_num(client), 0)) {
        return check_result();
    }

    check_case("login");
    veltoclient_get_login_details(client, veltoclient_get_request_unique_id(client),
                                  on_login_details, &login);
    if (wait_for(&login)) {
        CHECK(login.values[0] == 0 && login.values[1] == 1 && login.values[2] == 0);
    }

    write_savegame(contents);
    check_case("list");
    if (list_savegames(1, &first)) {
        veltoclient_savegame_info* const info = veltoclient_savegame_info_at(first, 0);
        CHECK(check_same_text(veltoclient_savegame_info_get_name(info), "C save"));
        CHECK_EQ(veltoclient_savegame_info_get_product_id(info), kProduct);
        CHECK_EQ(veltoclient_savegame_info_get_savegame_id(info), kSavegame);
        CHECK_EQ(veltoclient_savegame_info_get_size(info), kSize);
    }
    read_back(contents);

    check_case("remove");
    veltoclient_remove_savegame(client, veltoclient_get_request_unique_id(client),
                                on_remove_savegame, &removed, kProduct, kSavegame);
    if (wait_for(&removed)) {
        CHECK_EQ(removed.values[0], 0);
    }
    list_savegames(0, &first);
    CHECK(first != NULL);

    check_case("traffic");
    veltoclient_get_network_traffic(client, veltoclient_get_request_unique_id(client),
                                    on_network_traffic, &traffic);
    if (wait_for(&traffic)) {
        CHECK_EQ(traffic.values[0], kSize);
        CHECK_EQ(traffic.values[1], kSize);
    }
    veltoclient_destroy(client);
    return check_result();
}
