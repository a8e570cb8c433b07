// A game's own VELTOCLIENT_API is left alone, also in a program that links the shared loader,
// where the header would otherwise pick a marking of its own. Checked when compiled.
#define VELTOCLIENT_API 42
#include <veltoclient/Export.h>

static_assert(VELTOCLIENT_API == 42, "Export.h replaced the game's VELTOCLIENT_API");
