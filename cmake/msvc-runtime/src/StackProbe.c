// 32-bit x86 only: _chkstk, which functions with more than a page of locals call, with the
// size in EAX, before they move ESP. Windows grows a thread's stack through one guard page
// below the part in use, so the pages of the new frame are touched from the top down, one page
// at a time, before ESP moves below them. Only EAX and ESP change.
#if defined(_M_IX86)

__declspec(naked) void __cdecl _chkstk(void) {
    __asm {
        push ecx
        lea ecx, [esp + 8]  // the caller's ESP before the call
    next_page:
        cmp eax, 1000h
        jb last_page
        sub ecx, 1000h
        test dword ptr [ecx], eax
        sub eax, 1000h
        jmp next_page
    last_page:
        sub ecx, eax  // the new top of the stack
        test dword ptr [ecx], eax
        mov eax, esp  // return at the new top, with the caller's ECX back
        mov esp, ecx
        mov ecx, [eax]
        push dword ptr [eax + 4]
        ret
    }
}

#endif
