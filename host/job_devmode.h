// A job's DEVMODE as the stand-in driver keeps it: the public DEVMODEW followed directly by the
// plug-in's private record (this driver has no private part of its own). The plug-in sizes,
// defaults and merges its record through IPrintOemUI2::DevMode, as it would in the real driver.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

#include <string>
#include <vector>

namespace cvhost {

class JobDevmode {
  public:
    // Builds the printer's default devmode, merges the user's default devmode that the spooler
    // keeps for the printer (GetPrinterW level 9, stored by an OK in the printing preferences),
    // then `incoming` (if any). `hPrinter` goes to the plug-in (its DevMode probes the registry
    // with it).
    bool Build(IPrintOemUI2* plugin, HANDLE hPrinter, const wchar_t* deviceName,
               const DEVMODEW* incoming, std::wstring* error);

    DEVMODEW* Public() { return reinterpret_cast<DEVMODEW*>(bytes_.data()); }
    void* Plugin() { return bytes_.empty() ? nullptr : bytes_.data() + sizeof(DEVMODEW); }
    DWORD PluginSize() const { return pluginSize_; }
    size_t TotalSize() const { return bytes_.size(); }
    // The plug-in record when it has the layout this host knows, else null.
    const cv::PluginDevmode* PluginRecord() const;
    // True when `incoming` carried a plug-in record that was handed to the plug-in.
    bool MergedIncoming() const { return mergedIncoming_; }
    // True when the user's default devmode carried a plug-in record that was merged.
    bool MergedUserDefault() const { return mergedUserDefault_; }

  private:
    std::vector<unsigned char> bytes_;
    DWORD pluginSize_ = 0;
    bool mergedIncoming_ = false;
    bool mergedUserDefault_ = false;
    // Takes over an application's (or the stored) devmode; false only when the plug-in fails.
    bool Merge(IPrintOemUI2* plugin, OEMDMPARAM* param, const DEVMODEW* incoming, bool* merged,
               std::wstring* error);
};

// A devmode the host would receive from an application: public part plus the given plug-in bytes.
std::vector<unsigned char> MakeIncomingDevmode(const void* pluginBytes, DWORD size);

} // namespace cvhost
