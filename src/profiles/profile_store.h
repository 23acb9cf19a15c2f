// The personal profiles of a printer's driver for the current user: under the driver key,
// "Profiles" holds one subkey per profile, named like it, with one value per driver item (named
// by ItemValueName), "7", and "CustomDevData" (the plug-in's devmode). Every operation opens and
// closes its keys within the call and shows nothing; the page says what went wrong.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"
#include "profiles/profile_rules.h"

#include <cstddef>

namespace cv {

struct SheetContext;

constexpr const wchar_t* kProfilesKey = L"Profiles";

// A driver item as the rules see it; its texts stay the item's.
ProfileItem ProfileItemOf(const OPTITEM& item);

// A name the store puts under "Profiles": 1 to 127 characters and no backslash (which would
// reach another key). Every operation refuses any other.
bool IsStorableProfileName(const wchar_t* name);


// Adds the stored names but "Factory Defaults" (exact) to the list box and sets its horizontal
// extent for the longest name, that one included. The number of profiles found; with
// `factoryStored`, also whether FactoryProfileExists would answer true (one look at the store).
size_t FillProfileList(HWND list, HANDLE hPrinter, bool* factoryStored = nullptr);
// No stored profile has this name, without regard to case (also when there is no store).
bool ProfileNameIsFree(const wchar_t* name, HANDLE hPrinter);
// The "Factory Defaults" profile is stored whole: a key of that name without its devmode (what
// an interrupted save, or an earlier release's look-up, leaves) does not count.
bool FactoryProfileExists(HANDLE hPrinter);

// Stores the items and the context's working devmode under `name`: a new profile, or over the
// one of that name, which then holds exactly what this save wrote. False when any value could
// not be written; a profile that was there keeps a value for each name (old or new), and a new
// one is removed again.
bool SaveProfile(const OPTITEM* items, size_t count, const wchar_t* name, HANDLE hPrinter,
                 const SheetContext* ctx);
// Saves "Factory Defaults" from the items and the working devmode when it is not stored yet;
// true when it was saved now.
bool SaveFactoryProfileIfMissing(SheetContext* ctx, const OPTITEM* items, size_t count,
                                 HANDLE hPrinter);
// Gives the context's driver items (those the tree recorded) their stored selections and texts,
// each told to the driver with DrvUpdateUISetting, and the working devmode the stored one. False,
// with nothing changed, when the profile is not stored or cannot be read.
bool LoadProfile(SheetContext* ctx, const wchar_t* name, HANDLE hPrinter);
// Whether the driver items and the working devmode are what the profile holds; false for a
// profile that is not stored or cannot be read. Nothing is created.
bool ProfileMatchesSettings(const wchar_t* name, HANDLE hPrinter, const SheetContext* ctx);
// Removes the profile; true also when it is not there (any more).
bool DeleteProfile(const wchar_t* name, HANDLE hPrinter);
// Copies the profile under the new name, which must not be stored yet (in any letter case), and
// removes the old one only once the copy is whole. On failure the store is as it was.
bool RenameProfile(const wchar_t* oldName, const wchar_t* newName, HANDLE hPrinter);

// With a source, its settings replace the working devmode; without, the working devmode goes
// into the sheet's own (pOEMDM). Field by field: jobFlagB, padding and the reserved tail stay.
void CopyDevmodeSettings(SheetContext* ctx, const PluginDevmode* source);

} // namespace cv
