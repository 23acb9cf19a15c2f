// The plug-in's per-driver registry key under HKEY_CURRENT_USER: watermarks, the Output Options
// page's remembered values and the personal profiles of every printer of one driver live there.
// Everything reaches the key through OpenDriverKeyRead and CreateDriverKey.
#pragma once

#include "core/plugin_abi.h"
#include "ui/scoped_handles.h"

#include <string>

namespace cv {

constexpr const wchar_t* kPluginRegistryRoot = L"Software\\Corvane\\PSPlugIn";
// Under the driver key: the watermark store and its count.
constexpr const wchar_t* kWatermarksKey = L"Watermarks";
constexpr const wchar_t* kWatermarkCountValue = L"NumberOfWaterMarks";

// "Software\Corvane\PSPlugIn\<driver>"; empty when there is no driver name.
std::wstring DriverKeyPath(const wchar_t* driverName);
// The same for the printer's driver; empty when the spooler cannot name it.
std::wstring DriverKeyPath(HANDLE hPrinter);

// Opens the current user's existing driver key of the printer; never creates it (a user without
// one is what the default-user migration looks for). `access` is KEY_READ unless the caller
// also writes into an existing key. False, with `key` empty, when it is missing or unreadable.
bool OpenDriverKeyRead(HANDLE hPrinter, ScopedKey* key, REGSAM access = KEY_READ);
// Opens the current user's driver key of the printer, creating it when missing.
bool CreateDriverKey(HANDLE hPrinter, ScopedKey* key, REGSAM access = KEY_READ | KEY_WRITE);
// The same for a driver named directly (installation, when there is no printer yet).
bool CreateDriverKeyOf(const wchar_t* driverName, ScopedKey* key,
                       REGSAM access = KEY_READ | KEY_WRITE);

// A user without a driver key gets a copy of the default user's (its values and its watermarks;
// profiles stay behind). True when anything was copied. Runs at every DevMode call, so its
// common case, a user who has the key, costs one spooler question and one key open.
bool MigrateDefaultUserSettings(HANDLE hPrinter);

} // namespace cv
