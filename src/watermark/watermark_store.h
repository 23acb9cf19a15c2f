// The per-user, per-driver registry store of watermark definitions: one REG_BINARY value per
// watermark under "<driver key>\Watermarks", named like the watermark, holding its 704-byte
// record, and the "NumberOfWaterMarks" count beside it.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

#include <cstddef>
#include <cstdint>

namespace cv {

// The colours offered for a watermark, in the order the editor adds them (its list sorts them
// by name for display). The record keeps the COLORREF, not an index.
struct PaletteColor {
    uint32_t nameId; // string-table entry of the colour's name
    uint32_t color;  // COLORREF 0x00BBGGRR
};
constexpr PaletteColor WatermarkPalette[] = {
    {25, 0x000000},  // Black
    {7, 0x0000FF},   // Red
    {8, 0x00FF00},   // Green
    {9, 0xFF0000},   // Blue
    {6, 0xCDCDCD},   // Gray
    {27, 0xDF00B4},  // Purple
    {26, 0x00FFFF},  // Yellow
    {28, 0x1191EE},  // Orange
    {75, 0xFFFF00},  // Aqua
    {70, 0x800000},  // Navy
    {77, 0xFFFFFF},  // White
    {160, 0xA264F8}, // Pink
    {159, 0x004080}, // Brown
};
constexpr size_t kWatermarkPaletteSize = sizeof(WatermarkPalette) / sizeof(WatermarkPalette[0]);
static_assert(kWatermarkPaletteSize == 13);

// The built-in watermarks, in the order they are installed.
enum DefaultWatermark : uint32_t {
    DefaultDraft = 0,
    DefaultConfidential = 1,
    DefaultUserName = 2,
    DefaultDateAndTime = 3,
};
constexpr uint32_t kDefaultWatermarkCount = 4;

// The defaults of the record, then the built-in watermark `which` with its name, text and face
// in the module's language. False for a null record or an unknown `which`.
bool MakeDefaultWatermark(uint32_t which, WatermarkSettings* wm);

// Every operation below opens and closes its keys within the call, shows nothing, and works on
// the driver key of the printer's driver for the current user.

// Reads the stored watermark `name`. A value that is not REG_BINARY, is empty or is longer than
// a record is not read; a shorter one leaves the record's defaults in the rest. The result is
// always terminated and repaired.
bool ReadWatermark(HANDLE hPrinter, const wchar_t* name, WatermarkSettings* wm);
bool WatermarkExists(HANDLE hPrinter, const wchar_t* name);
// Adds or replaces the value named after the record; the count grows only for a new name.
bool SaveWatermark(HANDLE hPrinter, const WatermarkSettings* wm);
// Removes the value; the count shrinks, but never below 0.
bool DeleteWatermark(HANDLE hPrinter, const wchar_t* name);
// Number of values under "Watermarks", 0 when the key is missing.
uint32_t CountWatermarks(HANDLE hPrinter);
// Adds every stored name to the list box and sets its horizontal extent for the longest one.
// A missing key fails; an empty one succeeds with nothing added.
bool FillWatermarkList(HANDLE hPrinter, HWND listBox);
// The same for several lists with one enumeration of the store (the Watermark page's two).
bool FillWatermarkLists(HANDLE hPrinter, HWND const* lists, size_t count);
// Several reads of the store in a row (the Watermark page when it is shown): the spooler is asked
// for the driver and the key opened once, and closed with the reader. Each answers as the
// operation of its name above does.
class WatermarkStoreReader {
  public:
    explicit WatermarkStoreReader(HANDLE hPrinter);
    ~WatermarkStoreReader();
    WatermarkStoreReader(const WatermarkStoreReader&) = delete;
    WatermarkStoreReader& operator=(const WatermarkStoreReader&) = delete;

    bool Read(const wchar_t* name, WatermarkSettings* wm) const;
    bool Exists(const wchar_t* name) const;
    bool FillLists(HWND const* lists, size_t count) const;

  private:
    HKEY key_ = nullptr; // "Watermarks", null when the store cannot be opened
};

// "NumberOfWaterMarks": 0 when missing or not a REG_DWORD.
uint32_t ReadWatermarkCount(HANDLE hPrinter);
bool WriteWatermarkCount(HANDLE hPrinter, uint32_t count);

} // namespace cv
