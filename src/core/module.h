// Module-wide state of the plug-in DLL. Plain globals: the host loads one copy per process.
#pragma once

#include "core/plugin_abi.h"

namespace cv {

extern HINSTANCE moduleInstance;
extern volatile LONG liveObjects;
extern volatile LONG serverLocks;
// All bits set while no context exists (INVALID_HANDLE_VALUE), as CreateActCtxW reports failure.
extern HANDLE pluginActCtx;

} // namespace cv
