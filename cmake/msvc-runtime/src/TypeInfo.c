#include <stddef.h>

// The compiler's type descriptors point at type_info's vftable but no object file defines it:
// the static part of the MSVC runtime does. Type descriptors are never destroyed, so its one
// slot, the deleting destructor, only hands the object back.
typedef void*(__cdecl* QzDeletingDestructor)(void* self, unsigned int flags);

static void* __cdecl DeleteTypeInfo(void* self, unsigned int flags) {
    (void)flags;
    return self;
}

const QzDeletingDestructor QzTypeInfoVftable[1] __asm__("??_7type_info@@6B@") = {DeleteTypeInfo};

// The list of undecorated names that type_info::name() builds, one per module.
__declspec(align(16)) struct {
    void* first;
    void* spare;
} __type_info_root_node;
