#include "host/job_devmode.h"

#include "host/public_devmode.h"

#include <cstring>
#include <vector>

namespace cvhost {

bool JobDevmode::Build(IPrintOemUI2* plugin, HANDLE hPrinter, const wchar_t* deviceName,
                       const DEVMODEW* incoming, std::wstring* error) {
    bytes_.clear();
    pluginSize_ = 0;
    mergedIncoming_ = false;
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = hPrinter;
    HRESULT hr = plugin->DevMode(OEMDM_SIZE, &param);
    // The extra bytes live in a WORD of the public part, so a plug-in can ask for 64 KB at most.
    if (FAILED(hr) || param.cbBufSize < sizeof(OEM_DMEXTRAHEADER) || param.cbBufSize > 0xFFFF) {
        if (error) *error = L"the plug-in reported no usable size for its devmode record";
        return false;
    }
    pluginSize_ = param.cbBufSize;
    bytes_.assign(sizeof(DEVMODEW) + pluginSize_, 0);
    DefaultPublicDevmode(Public(), deviceName, static_cast<WORD>(pluginSize_));

    param.pPublicDMOut = Public();
    param.pOEMDMOut = Plugin();
    param.cbBufSize = pluginSize_;
    if (FAILED(hr = plugin->DevMode(OEMDM_DEFAULT, &param))) {
        if (error) *error = L"the plug-in could not default its devmode record";
        return false;
    }
    mergedUserDefault_ = false;
    // The user's default devmode, as an OK in the printing preferences left it.
    DWORD needed = 0;
    GetPrinterW(hPrinter, 9, nullptr, 0, &needed);
    std::vector<BYTE> stored(needed >= sizeof(PRINTER_INFO_9W) ? needed : 0);
    const DEVMODEW* userDefault = nullptr;
    if (!stored.empty() && GetPrinterW(hPrinter, 9, stored.data(), needed, &needed))
        userDefault = reinterpret_cast<const PRINTER_INFO_9W*>(stored.data())->pDevMode;
    if (userDefault && !Merge(plugin, &param, userDefault, &mergedUserDefault_, error))
        return false;
    return Merge(plugin, &param, incoming, &mergedIncoming_, error);
}

bool JobDevmode::Merge(IPrintOemUI2* plugin, OEMDMPARAM* param, const DEVMODEW* incoming,
                       bool* merged, std::wstring* error) {
    // An application's devmode older than the fields this host takes over is not merged.
    if (!CanMergePublicDevmode(incoming)) return true;

    MergePublicDevmode(Public(), incoming);
    // Only a record that fits the incoming devmode's extra bytes is handed on: the plug-in
    // trusts the size in the record's header.
    if (incoming->dmDriverExtra < sizeof(OEM_DMEXTRAHEADER)) return true;
    const auto* extra = reinterpret_cast<const unsigned char*>(incoming) + incoming->dmSize;
    OEM_DMEXTRAHEADER header;
    std::memcpy(&header, extra, sizeof header);
    if (header.dwSize < sizeof header || header.dwSize > incoming->dmDriverExtra) return true;
    param->pPublicDMIn = const_cast<DEVMODEW*>(incoming);
    param->pOEMDMIn = const_cast<unsigned char*>(extra);
    if (FAILED(plugin->DevMode(OEMDM_MERGE, param))) {
        if (error) *error = L"the plug-in could not merge the incoming devmode record";
        return false;
    }
    *merged = true;
    return true;
}

const cv::PluginDevmode* JobDevmode::PluginRecord() const {
    if (pluginSize_ < sizeof(cv::PluginDevmode)) return nullptr;
    const auto* dm = reinterpret_cast<const cv::PluginDevmode*>(bytes_.data() + sizeof(DEVMODEW));
    return dm->dwSignature == cv::kPluginSignature ? dm : nullptr;
}

std::vector<unsigned char> MakeIncomingDevmode(const void* pluginBytes, DWORD size) {
    std::vector<unsigned char> bytes(sizeof(DEVMODEW) + size, 0);
    auto* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
    dm->dmSpecVersion = DM_SPECVERSION;
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = static_cast<WORD>(size);
    if (pluginBytes && size) std::memcpy(bytes.data() + sizeof(DEVMODEW), pluginBytes, size);
    return bytes;
}

} // namespace cvhost
