// The compiler references this from every object file that uses floating point, so that the
// floating-point support of the runtime is linked; the runtime DLLs provide that support.
int _fltused = 0x9875;
