#include "treeoptions/factory_profile.h"

#include "profiles/profile_store.h"

namespace cv {

void EnsureFactoryProfile(SheetContext* ctx, const OPTITEM* driverItems, size_t count,
                          HANDLE hPrinter) {
    // Whether it was saved now is nobody's business here: the tree page shows either way.
    SaveFactoryProfileIfMissing(ctx, driverItems, count, hPrinter);
}

} // namespace cv
