// The plug-in's stored records: the private devmode and the watermark and fax records embedded
// in it. Their byte layout is a stored format (job devmodes, registry values, profiles), so every
// offset is asserted below. Plain data only: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cv {

using Bool32 = uint32_t;

constexpr uint32_t kPluginSignature = 0x4352564E; // "CRVN", first letter most significant
constexpr uint32_t kPluginVersion = 10;
constexpr uint32_t kPluginDevmodeSize = 7672;

enum WatermarkFontStyle : uint32_t { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };
enum WatermarkEffects : uint32_t { Strikeout = 1, Underline = 2, Outline = 4 };
enum WatermarkUnits : uint8_t { Millimeters = 0, Inches = 1 };
enum WatermarkPosition : uint32_t {
    Center = 0,
    BottomLeft = 1,
    TopLeft = 2,
    CenterLeft = 3,
    BottomCenter = 4,
    TopCenter = 5,
    BottomRight = 6,
    TopRight = 7,
    CenterRight = 8,
};

struct WatermarkSettings {
    char16_t name[128];
    char16_t text[128];
    double angle;
    uint32_t color; // COLORREF 0x00BBGGRR
    char16_t faceName[64];
    uint32_t pointSize;
    uint32_t fontStyle;
    uint32_t effects;
    uint16_t intensity;
    uint16_t padding1;
    uint32_t position;
    uint8_t units;
    uint8_t padding2[7];
    double verticalOffset;
    double horizontalOffset;
    uint32_t charSet;
    Bool32 isDynamic;
};

// The cover-page part of a fax record: what goes on the cover sheet and which parts of it are
// sent. The Output Options page keeps a working copy of it that the cover-page dialog edits.
struct FaxCover {
    char16_t senderName[128];
    char16_t senderCompany[128];
    char16_t senderAddress[256];
    char16_t reservedText[256];
    char16_t senderFax[64];
    char16_t senderVoice[64];
    char16_t senderEmail[64];
    char16_t comments[1024];
    uint32_t coverFlags;
};

struct FaxSettings {
    char16_t recipientFax[128];
    char16_t station[128];
    uint16_t resolution;
    uint16_t padding;
    Bool32 sendCoverPage;
    char16_t recipientName[128];
    FaxCover cover;
};

enum FaxCoverFlags : uint32_t { CoverRecipient = 1, CoverSender = 2, CoverComments = 4 };

struct PluginDevmode {
    // OEM_DMEXTRAHEADER
    uint32_t dwSize;
    uint32_t dwSignature;
    uint32_t dwVersion;

    Bool32 watermarkEnabled;
    uint32_t watermarkOrder;
    Bool32 watermarkOverPage;
    WatermarkSettings firstWatermark;
    WatermarkSettings otherWatermark;
    Bool32 jobFlagA;
    uint32_t outputTo;
    uint16_t jobSelector;
    char16_t jobText[512];
    char16_t userName[25];
    char16_t pin[5];
    uint16_t padding1;
    Bool32 jobFlagB;
    Bool32 jobFlagC;
    Bool32 jobFlagD;
    char16_t jobShortText[17];
    uint16_t padding2;
    Bool32 jobFlagE;
    FaxSettings fax;
    uint32_t colorCorrection;
    uint32_t rgbImages;
    uint32_t rgbText;
    uint32_t rgbGraphics;
    uint32_t cmykImages;
    uint32_t cmykText;
    uint32_t cmykGraphics;
    uint32_t colorBalance;
    int32_t cyanBalance;
    int32_t magentaBalance;
    int32_t yellowBalance;
    int32_t blackBalance;
    uint32_t hueMiser;
    Bool32 keepPreviousJobs;
    Bool32 reverseOrBooklet;
    char16_t profileName[128];
    uint32_t profileLoaded;
    int32_t brightness;
    int32_t contrast;
    int32_t saturation;
    Bool32 grayCorrection;
    Bool32 enhanceFineLines;
    uint8_t reserved[4];
};

static_assert(sizeof(WatermarkSettings) == 704, "WatermarkSettings is a stored format");
static_assert(offsetof(WatermarkSettings, text) == 256);
static_assert(offsetof(WatermarkSettings, angle) == 512);
static_assert(offsetof(WatermarkSettings, color) == 520);
static_assert(offsetof(WatermarkSettings, faceName) == 524);
static_assert(offsetof(WatermarkSettings, pointSize) == 652);
static_assert(offsetof(WatermarkSettings, fontStyle) == 656);
static_assert(offsetof(WatermarkSettings, effects) == 660);
static_assert(offsetof(WatermarkSettings, intensity) == 664);
static_assert(offsetof(WatermarkSettings, position) == 668);
static_assert(offsetof(WatermarkSettings, units) == 672);
static_assert(offsetof(WatermarkSettings, verticalOffset) == 680);
static_assert(offsetof(WatermarkSettings, horizontalOffset) == 688);
static_assert(offsetof(WatermarkSettings, charSet) == 696);
static_assert(offsetof(WatermarkSettings, isDynamic) == 700);

static_assert(sizeof(FaxSettings) == 4748, "FaxSettings is a stored format");
static_assert(offsetof(FaxSettings, station) == 256);
static_assert(offsetof(FaxSettings, resolution) == 512);
static_assert(offsetof(FaxSettings, sendCoverPage) == 516);
static_assert(offsetof(FaxSettings, recipientName) == 520);
static_assert(offsetof(FaxSettings, cover) == 776);
static_assert(sizeof(FaxCover) == 3972);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, senderCompany) == 1032);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, senderAddress) == 1288);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, reservedText) == 1800);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, senderFax) == 2312);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, senderVoice) == 2440);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, senderEmail) == 2568);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, comments) == 2696);
static_assert(offsetof(FaxSettings, cover) + offsetof(FaxCover, coverFlags) == 4744);

static_assert(sizeof(PluginDevmode) == kPluginDevmodeSize, "PluginDevmode is a stored format");
static_assert(offsetof(PluginDevmode, watermarkEnabled) == 12);
static_assert(offsetof(PluginDevmode, watermarkOrder) == 16);
static_assert(offsetof(PluginDevmode, watermarkOverPage) == 20);
static_assert(offsetof(PluginDevmode, firstWatermark) == 24);
static_assert(offsetof(PluginDevmode, otherWatermark) == 728);
static_assert(offsetof(PluginDevmode, jobFlagA) == 1432);
static_assert(offsetof(PluginDevmode, outputTo) == 1436);
static_assert(offsetof(PluginDevmode, jobSelector) == 1440);
static_assert(offsetof(PluginDevmode, jobText) == 1442);
static_assert(offsetof(PluginDevmode, userName) == 2466);
static_assert(offsetof(PluginDevmode, pin) == 2516);
static_assert(offsetof(PluginDevmode, jobFlagB) == 2528);
static_assert(offsetof(PluginDevmode, jobFlagC) == 2532);
static_assert(offsetof(PluginDevmode, jobFlagD) == 2536);
static_assert(offsetof(PluginDevmode, jobShortText) == 2540);
static_assert(offsetof(PluginDevmode, jobFlagE) == 2576);
static_assert(offsetof(PluginDevmode, fax) == 2580);
static_assert(offsetof(PluginDevmode, colorCorrection) == 7328);
static_assert(offsetof(PluginDevmode, rgbImages) == 7332);
static_assert(offsetof(PluginDevmode, rgbText) == 7336);
static_assert(offsetof(PluginDevmode, rgbGraphics) == 7340);
static_assert(offsetof(PluginDevmode, cmykImages) == 7344);
static_assert(offsetof(PluginDevmode, cmykText) == 7348);
static_assert(offsetof(PluginDevmode, cmykGraphics) == 7352);
static_assert(offsetof(PluginDevmode, colorBalance) == 7356);
static_assert(offsetof(PluginDevmode, cyanBalance) == 7360);
static_assert(offsetof(PluginDevmode, magentaBalance) == 7364);
static_assert(offsetof(PluginDevmode, yellowBalance) == 7368);
static_assert(offsetof(PluginDevmode, blackBalance) == 7372);
static_assert(offsetof(PluginDevmode, hueMiser) == 7376);
static_assert(offsetof(PluginDevmode, keepPreviousJobs) == 7380);
static_assert(offsetof(PluginDevmode, reverseOrBooklet) == 7384);
static_assert(offsetof(PluginDevmode, profileName) == 7388);
static_assert(offsetof(PluginDevmode, profileLoaded) == 7644);
static_assert(offsetof(PluginDevmode, brightness) == 7648);
static_assert(offsetof(PluginDevmode, contrast) == 7652);
static_assert(offsetof(PluginDevmode, saturation) == 7656);
static_assert(offsetof(PluginDevmode, grayCorrection) == 7660);
static_assert(offsetof(PluginDevmode, enhanceFineLines) == 7664);
static_assert(offsetof(PluginDevmode, reserved) == 7668);

// Registry value types as stored (REG_SZ, REG_BINARY); the portable core has no windows.h.
constexpr uint32_t kRegistryString = 1;
constexpr uint32_t kRegistryBinary = 3;

// --- Watermark record -------------------------------------------------------------------------
void ResetWatermark(WatermarkSettings* wm);
bool ValidateWatermark(WatermarkSettings* wm);
void CopyWatermark(WatermarkSettings* dst, const WatermarkSettings* src);
// A watermark as found in the registry: accepted only as binary data of 1 to 704 bytes. The
// record starts from the defaults, takes the stored bytes (a shorter record keeps the defaults
// for the rest) and is repaired, so every text is terminated. `wm` is written only on success.
bool DecodeWatermark(uint32_t type, const void* data, size_t size, WatermarkSettings* wm);

// --- Fax record -------------------------------------------------------------------------------
void ResetFaxSettings(FaxSettings* fax);
void RepairFaxSettings(FaxSettings* fax);
void CopyFaxSettings(FaxSettings* dst, const FaxSettings* src);
// Bounded field-wise copy of a cover part (of a fax record or a working copy).
void CopyFaxCover(FaxCover* dst, const FaxCover* src);

// --- Plug-in devmode --------------------------------------------------------------------------
void defaultPluginDevmode(PluginDevmode* dm);
// `in` is read only within min(its dwSize, 7672) bytes; an input whose dwSize cannot even hold
// the 12-byte header counts as foreign.
void convertPluginDevmode(const void* in, PluginDevmode* out);
bool validatePluginDevmode(PluginDevmode* dm);
void mergePluginDevmode(const void* in, PluginDevmode* out);
// Field-wise copy between two working copies; jobFlagB, padding and the reserved tail stay.
void copyWorkingDevmode(PluginDevmode* dst, const PluginDevmode* src);

} // namespace cv
