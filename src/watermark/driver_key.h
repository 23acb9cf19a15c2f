// The plug-in's per-driver registry key under HKEY_CURRENT_USER, shared by the watermark store,
// the Output Options page, the profiles and the driver events.
#pragma once

#include "core/plugin_abi.h"

#include <string>
#include <vector>

namespace cv {

constexpr const wchar_t* kPluginRegistryRoot = L"Software\\Corvane\\PSPlugIn";

// "Software\Corvane\PSPlugIn\<driver>"; empty when there is no driver name.
std::wstring DriverKeyPath(const wchar_t* driverName);
// The same for a printer: its PRINTER_INFO_2 pDriverName. Empty when it cannot be read.
std::wstring DriverKeyPath(HANDLE hPrinter);

// PRINTER_INFO_2 of the printer (GetPrinterW level 2: the size, then the data) into `buffer`,
// which owns the strings the structure points to. Null when it cannot be read.
const PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer);

// Each returns false (and a null key) on a null argument or an unbuildable path; on success the
// caller closes *key.
bool OpenDriverKeyRead(HANDLE hPrinter, HKEY* key);
bool OpenDriverKeyWrite(HANDLE hPrinter, HKEY* key);
bool CreateDriverKey(HANDLE hPrinter, HKEY* key, DWORD* disposition = nullptr);
bool OpenWatermarksKeyRead(HANDLE hPrinter, HKEY* key);
bool CreateWatermarksKey(HANDLE hPrinter, HKEY* key);

} // namespace cv
