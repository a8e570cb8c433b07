#include <veltoclient/veltoclient_c.h>

/* A game in C: compiles and links against the installed C header and library. */
int main(void) {
    veltoclient_client* const client = veltoclient_create();
    const uint32_t error = veltoclient_get_installation_error_num(client);
    veltoclient_destroy(client);
    return error <= 3 ? 0 : 1;
}
