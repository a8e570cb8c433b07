#include <veltoclient/VeltoClient.h>

// Compiles and links against the installed headers and loader; running it is not needed.
int main() {
    qz::veltoclient::VeltoClient client;
    return client.GetInstallationErrorNum() <= 3 ? 0 : 1;
}
