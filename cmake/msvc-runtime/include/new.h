#pragma once

// What the standard library's <new> takes from the C runtime in the MSVC ABI.
#include <vcruntime_new.h>
