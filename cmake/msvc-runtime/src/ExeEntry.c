#include <corecrt_startup.h>
#include <stdlib.h>

#include "Module.h"

int main(int argc, char** argv, char** envp);

static void __cdecl StopProgramModule(void) {
    QzModuleStop();
}

// The linker's default entry point of a console program: arguments and environment from the
// C runtime, static initializers, main, and exit, which also runs the module's atexit list.
int mainCRTStartup(void) {
    __security_init_cookie();
    _set_app_type(_crt_console_app);
    if (_configure_narrow_argv(_crt_argv_unexpanded_arguments) != 0 ||
        _initialize_narrow_environment() != 0 || _crt_atexit(StopProgramModule) != 0 ||
        QzModuleStart() != 0) {
        _exit(255);
    }
    exit(main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}
