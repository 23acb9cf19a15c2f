#include "profiles/profile_store.h"

#include "core/driver_key.h"
#include "core/sheet_context.h"
#include "profiles/profiles_resource.h"
#include "ui/bounded_string.h"
#include "ui/dialog_text.h"
#include "ui/scoped_handles.h"
#include "ui/strings.h"
#include "ui/text_case.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

namespace cv {

namespace {

// Subkey and value names are read into this many units: a profile's name, or an item's value
// name, and the terminator. Longer ones are none of ours.
constexpr DWORD kNameUnits = static_cast<DWORD>(kProfileNameCapacity);
// No value of a profile comes near this; a larger one is not read.
constexpr DWORD kMaxValueBytes = 1u << 20;
// However a key answers, an enumeration ends.
constexpr DWORD kMaxValues = 1u << 20;

const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
const char16_t* Narrowed(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}

bool OpenProfilesRead(HANDLE hPrinter, ScopedKey* key, REGSAM access = KEY_READ) {
    ScopedKey driverKey;
    return OpenDriverKeyRead(hPrinter, &driverKey) &&
           key->Open(driverKey.get(), kProfilesKey, access);
}

bool CreateProfilesKey(HANDLE hPrinter, ScopedKey* key) {
    ScopedKey driverKey;
    return CreateDriverKey(hPrinter, &driverKey) &&
           key->Create(driverKey.get(), kProfilesKey, KEY_READ | KEY_WRITE);
}

bool OpenProfileRead(HANDLE hPrinter, const wchar_t* name, ScopedKey* key) {
    ScopedKey profiles;
    return IsStorableProfileName(name) && OpenProfilesRead(hPrinter, &profiles) &&
           key->Open(profiles.get(), name, KEY_READ);
}

// What a read of a profile's values does with one whose name or data does not fit: a load or a
// comparison skips it (it can stand for no item of ours and hold no devmode of ours); a copy
// fails rather than leave it behind.
enum class ReadMode { Usable, Whole };

// Every value of the key, in the registry's order. False when the enumeration ends on anything
// but its end (or, copying, meets a value it cannot take whole).
bool ReadValues(HKEY key, ReadMode mode, std::vector<StoredValue>* values) {
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    try {
        const DWORD nameUnits =
            mode == ReadMode::Whole ? std::max(longestName + 1, kNameUnits) : kNameUnits;
        std::vector<wchar_t> name(nameUnits);
        std::vector<BYTE> data(std::max<DWORD>(std::min(longestData, kMaxValueBytes), 1));
        values->clear();
        values->reserve(std::min(count, kMaxValues));
        for (DWORD i = 0; i < kMaxValues; ++i) {
            DWORD nameLength = nameUnits, size = static_cast<DWORD>(data.size()), type = REG_NONE;
            const LONG rc =
                RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) return true;
            if (rc == ERROR_MORE_DATA) {
                if (mode == ReadMode::Whole) return false;
                continue;
            }
            if (rc != ERROR_SUCCESS) return false;
            StoredValue v;
            v.name.assign(Narrowed(name.data()), std::min<DWORD>(nameLength, nameUnits - 1));
            v.type = type;
            v.data.assign(data.begin(), data.begin() + std::min<DWORD>(size, data.size()));
            values->push_back(std::move(v));
        }
    } catch (const std::bad_alloc&) {
    }
    return false;
}

bool WriteValue(HKEY key, const StoredValue& v) {
    return RegSetValueExW(key, Wide(v.name.c_str()), 0, v.type, v.data.data(),
                          static_cast<DWORD>(v.data.size())) == ERROR_SUCCESS;
}

// Removes the values of the key that `kept` does not name (in any letter case). What cannot be
// removed stays: a value of an item the driver no longer has is never read.
void RemoveOtherValues(HKEY key, const std::vector<StoredValue>& kept) {
    try {
        std::unordered_set<std::u16string> names;
        for (const StoredValue& v : kept)
            names.insert(FoldedText(v.name));
        std::vector<std::u16string> others;
        for (DWORD i = 0; i < kMaxValues; ++i) {
            wchar_t name[kNameUnits];
            DWORD length = kNameUnits;
            const LONG rc =
                RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_MORE_DATA) continue;
            if (rc != ERROR_SUCCESS) break;
            std::u16string found(Narrowed(name), std::min<DWORD>(length, kNameUnits - 1));
            if (!names.count(FoldedText(found))) others.push_back(std::move(found));
        }
        for (const std::u16string& n : others)
            RegDeleteValueW(key, Wide(n.c_str()));
    } catch (const std::bad_alloc&) {
    }
}

std::vector<ProfileItem> ItemsOf(const OPTITEM* items, size_t count) {
    std::vector<ProfileItem> out;
    if (!items) return out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i)
        out.push_back(ProfileItemOf(items[i]));
    return out;
}

std::vector<ProfileItem> TreeItems(const SheetContext* ctx) {
    return ItemsOf(ctx->tree.drvOptItems, ctx->tree.drvOptItemCount);
}

// Calls `onName` for each subkey of "Profiles" whose name fits; the number of subkeys seen.
template <typename Fn> size_t EnumerateProfiles(HKEY profiles, Fn&& onName) {
    size_t seen = 0;
    for (DWORD i = 0; i < kMaxValues; ++i) {
        wchar_t name[kNameUnits];
        DWORD length = kNameUnits;
        const LONG rc =
            RegEnumKeyExW(profiles, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            ++seen;
            continue;
        }
        if (rc != ERROR_SUCCESS) break;
        ++seen;
        if (!onName(name, std::min<DWORD>(length, kNameUnits - 1))) break;
    }
    return seen;
}

// A profile of that name with its devmode, under "Profiles".
bool FactoryWholeUnder(HKEY profiles, const wchar_t* factory) {
    ScopedKey key;
    return IsStorableProfileName(factory) && key.Open(profiles, factory, KEY_READ) &&
           RegQueryValueExW(key.get(), Wide(kCustomDevDataName), nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

} // namespace

ProfileItem ProfileItemOf(const OPTITEM& item) {
    ProfileItem p;
    p.dmPubId = item.DMPubID;
    if (item.pName && !IS_INTRESOURCE(item.pName))
        p.nameText = Narrowed(item.pName);
    else
        p.nameId = LOWORD(reinterpret_cast<ULONG_PTR>(item.pName));
    p.sel = item.Sel;
    const OPTTYPE* type = item.pOptType;
    if (!type) return p;
    p.hasType = true;
    p.type = type->Type;
    p.count = type->Count;
    const bool number =
        type->Type == TVOT_UDARROW || type->Type == TVOT_TRACKBAR || type->Type == TVOT_SCROLLBAR;
    if (number && type->pOptParam && type->Count >= 2) {
        p.hasRange = true;
        p.low = static_cast<int32_t>(static_cast<LONG_PTR>(type->pOptParam[1].IconID));
        p.high = static_cast<int32_t>(type->pOptParam[1].lParam);
    }
    if (type->Type == TVOT_EDITBOX && item.pSel) {
        p.text = Narrowed(item.pSel);
        // The second parameter gives the buffer's size in bytes; without it, the buffer is known
        // to hold only the text it holds.
        const ULONG_PTR bytes = type->pOptParam && type->Count >= 2 ? type->pOptParam[1].IconID : 0;
        p.textCapacity = bytes >= sizeof(WCHAR) ? bytes / sizeof(WCHAR)
                                                : BoundedLength(p.text, kProfileNameCapacity) + 1;
    }
    return p;
}

bool IsStorableProfileName(const wchar_t* name) {
    if (!name || !*name) return false;
    const size_t length = BoundedLength(Narrowed(name), kProfileNameCapacity);
    return length <= kProfileNameMaxChars && !wcschr(name, L'\\');
}

size_t FillProfileList(HWND list, HANDLE hPrinter, bool* factoryStored) {
    if (factoryStored) *factoryStored = false;
    if (!list) return 0;
    ScopedKey profiles;
    if (!OpenProfilesRead(hPrinter, &profiles)) return 0;
    const std::wstring factory = LoadText(IDS_FACTORY_DEFAULTS);
    size_t longest = 0;
    // The list is drawn (and its scroll bars set) once, when all names are in.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const size_t seen = EnumerateProfiles(profiles.get(), [&](const wchar_t* name, DWORD length) {
        longest = std::max<size_t>(longest, length);
        if (factory != name) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        return true;
    });
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, WPARAM(ListNameExtent(list, longest)), 0);
    if (factoryStored) *factoryStored = FactoryWholeUnder(profiles.get(), factory.c_str());
    return seen;
}

bool ProfileNameIsFree(const wchar_t* name, HANDLE hPrinter) {
    if (!name) return false;
    ScopedKey profiles;
    if (!OpenProfilesRead(hPrinter, &profiles)) return true;
    bool free = true;
    EnumerateProfiles(profiles.get(), [&](const wchar_t* stored, DWORD) {
        free = lstrcmpiW(stored, name) != 0;
        return free;
    });
    return free;
}

bool FactoryProfileExists(HANDLE hPrinter) {
    ScopedKey profiles;
    return OpenProfilesRead(hPrinter, &profiles) &&
           FactoryWholeUnder(profiles.get(), LoadText(IDS_FACTORY_DEFAULTS).c_str());
}

bool SaveProfile(const OPTITEM* items, size_t count, const wchar_t* name, HANDLE hPrinter,
                 const SheetContext* ctx) {
    if (!ctx || !IsStorableProfileName(name)) return false;
    std::vector<StoredValue> values;
    try {
        const std::vector<ProfileItem> records = ItemsOf(items, count);
        values = PlanProfileSave(records.data(), records.size(), ctx->dm);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ScopedKey profiles, key;
    DWORD disposition = 0;
    if (!CreateProfilesKey(hPrinter, &profiles) ||
        !key.Create(profiles.get(), name, KEY_READ | KEY_WRITE, &disposition))
        return false;
    const bool created = disposition == REG_CREATED_NEW_KEY;
    for (const StoredValue& v : values) {
        if (WriteValue(key.get(), v)) continue;
        // A profile that was there keeps a value under every name, old or new; a new one that
        // could not be written whole is not left half made.
        key.reset();
        if (created) RegDeleteKeyW(profiles.get(), name);
        return false;
    }
    // Written over an earlier profile of the name, it holds what a new one would: values of
    // items the driver no longer has go. Only a key with more values than were written has any.
    DWORD held = 0;
    if (!created &&
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &held,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        held > values.size())
        RemoveOtherValues(key.get(), values);
    return true;
}

bool SaveFactoryProfileIfMissing(SheetContext* ctx, const OPTITEM* items, size_t count,
                                 HANDLE hPrinter) {
    if (!ctx || FactoryProfileExists(hPrinter)) return false;
    const std::wstring factory = LoadText(IDS_FACTORY_DEFAULTS);
    return SaveProfile(items, count, factory.c_str(), hPrinter, ctx);
}

bool LoadProfile(SheetContext* ctx, const wchar_t* name, HANDLE hPrinter) {
    if (!ctx) return false;
    std::vector<StoredValue> values;
    ProfileLoadPlan plan;
    try {
        ScopedKey key;
        if (!OpenProfileRead(hPrinter, name, &key) ||
            !ReadValues(key.get(), ReadMode::Usable, &values))
            return false;
        const std::vector<ProfileItem> items = TreeItems(ctx);
        plan = PlanProfileLoad(values, items.data(), items.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    POEMUIOBJ ui = SheetUIObject(ctx);
    const PFN_DrvUpdateUISetting update =
        ui && ui->pOemUIProcs ? ui->pOemUIProcs->DrvUpdateUISetting : nullptr;
    for (const ProfileLoadPlan::ItemChange& change : plan.items) {
        OPTITEM& item = ctx->tree.drvOptItems[change.item];
        if (change.kind == ItemValueKind::Selection) {
            item.Sel = change.sel;
        } else {
            const ProfileItem record = ProfileItemOf(item);
            BoundedCopy(reinterpret_cast<char16_t*>(item.pSel), record.textCapacity,
                        change.text.c_str(), change.text.size());
        }
        item.Flags |= OPTIF_CHANGED;
        if (update) update(ui, &item, 0, OEMCUIP_DOCPROP);
    }
    if (plan.hasDevmode) CopyDevmodeSettings(ctx, &plan.devmode);
    return true;
}

bool ProfileMatchesSettings(const wchar_t* name, HANDLE hPrinter, const SheetContext* ctx) {
    if (!ctx) return false;
    try {
        ScopedKey key;
        std::vector<StoredValue> values;
        if (!OpenProfileRead(hPrinter, name, &key) ||
            !ReadValues(key.get(), ReadMode::Usable, &values))
            return false;
        const std::vector<ProfileItem> items = TreeItems(ctx);
        return ProfileMatches(values, items.data(), items.size(), ctx->dm);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool DeleteProfile(const wchar_t* name, HANDLE hPrinter) {
    if (!IsStorableProfileName(name)) return false;
    ScopedKey profiles;
    if (!OpenProfilesRead(hPrinter, &profiles, KEY_READ | KEY_WRITE)) return false;
    const LONG rc = RegDeleteKeyW(profiles.get(), name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool RenameProfile(const wchar_t* oldName, const wchar_t* newName, HANDLE hPrinter) {
    // The registry does not tell names apart by case: such a "rename" would copy the profile
    // onto itself and then remove it.
    if (!IsStorableProfileName(oldName) || !IsStorableProfileName(newName) ||
        lstrcmpiW(oldName, newName) == 0)
        return false;
    ScopedKey profiles;
    if (!OpenProfilesRead(hPrinter, &profiles, KEY_READ | KEY_WRITE)) return false;
    std::vector<StoredValue> values;
    {
        ScopedKey source;
        if (!source.Open(profiles.get(), oldName, KEY_READ) ||
            !ReadValues(source.get(), ReadMode::Whole, &values))
            return false;
    }
    ScopedKey target;
    DWORD disposition = 0;
    if (!target.Create(profiles.get(), newName, KEY_WRITE, &disposition)) return false;
    // Another profile of that name is never written into.
    if (disposition != REG_CREATED_NEW_KEY) return false;
    bool copied = true;
    for (const StoredValue& v : values)
        if (!(copied = WriteValue(target.get(), v))) break;
    target.reset();
    if (copied && RegDeleteKeyW(profiles.get(), oldName) == ERROR_SUCCESS) return true;
    RegDeleteKeyW(profiles.get(), newName);
    return false;
}

void CopyDevmodeSettings(SheetContext* ctx, const PluginDevmode* source) {
    if (!ctx) return;
    if (source) {
        copyWorkingDevmode(&ctx->dm, source);
        return;
    }
    if (ctx->uiParam && ctx->uiParam->pOEMDM)
        copyWorkingDevmode(static_cast<PluginDevmode*>(ctx->uiParam->pOEMDM), &ctx->dm);
}

} // namespace cv
