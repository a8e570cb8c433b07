#pragma once

// Start and end of one module (the DLL or the program) in this runtime.

// Runs the module's C and C++ static initializers; 0 on success.
int QzModuleStart(void);
// Runs what the module registered with atexit, last first.
void QzModuleStop(void);
// Seeds the stack cookie; before any function that checks it runs.
void __security_init_cookie(void);
