#include "watermark/watermark_store.h"

namespace cv {

// The registry store is not built yet; until it is, nothing is migrated or installed and the
// devmode and driver events behave as for a user who already has settings.
bool MigrateDefaultUserSettings(HANDLE) { return false; }
bool InstallDefaultWatermarks(const wchar_t*) { return false; }

} // namespace cv
