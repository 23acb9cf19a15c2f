#include "watermark/driver_key.h"

namespace cv {

std::wstring DriverKeyPath(const wchar_t* driverName) {
    if (!driverName || !*driverName) return {};
    std::wstring path = kPluginRegistryRoot;
    path += L'\\';
    path += driverName;
    return path;
}

} // namespace cv
