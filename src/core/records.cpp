#include "core/records.h"

#include "ui/bounded_string.h"

#include <cstring>
#include <initializer_list>

namespace cv {

// ---------------------------------------------------------------------------------------------
// Watermark record

void ResetWatermark(WatermarkSettings* wm) {
    if (!wm) return;
    wm->name[0] = 0;
    wm->text[0] = 0;
    wm->angle = 0.0;
    wm->color = 0;
    BoundedCopy(wm->faceName, u"Arial");
    wm->pointSize = 72;
    wm->fontStyle = Regular;
    wm->effects = 0;
    wm->intensity = 100;
    wm->position = Center;
    wm->units = Inches;
    wm->verticalOffset = 0.0;
    wm->horizontalOffset = 0.0;
    wm->charSet = 0;
    wm->isDynamic = 0;
}

bool ValidateWatermark(WatermarkSettings* wm) {
    if (!wm) return false;
    TerminateArray(wm->name);
    TerminateArray(wm->text);
    // Written so that a NaN, which compares false with everything, is repaired too.
    if (!(wm->angle >= -180.0 && wm->angle <= 180.0)) wm->angle = 0.0;
    TerminateArray(wm->faceName);
    if (wm->fontStyle > BoldItalic) wm->fontStyle = Regular;
    if (wm->effects & ~uint32_t(Strikeout | Underline | Outline)) wm->effects = 0;
    if (wm->intensity == 0 || wm->intensity > 100) wm->intensity = 100;
    if (wm->position > CenterRight) wm->position = Center;
    if (wm->units > Inches) wm->units = Inches;
    return true;
}

bool DecodeWatermark(uint32_t type, const void* data, size_t size, WatermarkSettings* wm) {
    if (!wm || type != kRegistryBinary || !data || size == 0 || size > sizeof(WatermarkSettings))
        return false;
    // From a clean record: a short value must not leave a text running into what was there.
    std::memset(wm, 0, sizeof *wm);
    ResetWatermark(wm);
    std::memcpy(wm, data, size);
    // Anyone can write the value: its texts need not be terminated nor its numbers in range.
    return ValidateWatermark(wm);
}

void CopyWatermark(WatermarkSettings* dst, const WatermarkSettings* src) {
    if (!dst || !src || dst == src) return;
    BoundedCopy(dst->name, src->name);
    BoundedCopy(dst->text, src->text);
    dst->angle = src->angle;
    dst->color = src->color;
    BoundedCopy(dst->faceName, src->faceName);
    dst->pointSize = src->pointSize;
    dst->fontStyle = src->fontStyle;
    dst->effects = src->effects;
    dst->intensity = src->intensity;
    dst->position = src->position;
    dst->units = src->units;
    dst->verticalOffset = src->verticalOffset;
    dst->horizontalOffset = src->horizontalOffset;
    dst->charSet = src->charSet;
    dst->isDynamic = src->isDynamic;
}

// ---------------------------------------------------------------------------------------------
// Fax record

// The texts of a fax record in field order, for the operations that treat them alike.
template <typename Fax, typename Fn> static void ForEachFaxText(Fax* f, Fn&& fn) {
    fn(f->recipientFax);
    fn(f->station);
    fn(f->recipientName);
    fn(f->cover.senderName);
    fn(f->cover.senderCompany);
    fn(f->cover.senderAddress);
    fn(f->cover.reservedText);
    fn(f->cover.senderFax);
    fn(f->cover.senderVoice);
    fn(f->cover.senderEmail);
    fn(f->cover.comments);
}

void ResetFaxSettings(FaxSettings* fax) {
    if (!fax) return;
    ForEachFaxText(fax, [](auto& text) { text[0] = 0; });
    fax->resolution = 0;
    fax->sendCoverPage = 0;
    fax->cover.coverFlags = CoverRecipient | CoverSender | CoverComments;
}

void RepairFaxSettings(FaxSettings* fax) {
    if (!fax) return;
    ForEachFaxText(fax, [](auto& text) { TerminateArray(text); });
    fax->resolution = 0;
    if (fax->sendCoverPage > 1) fax->sendCoverPage = 0;
    if (fax->cover.coverFlags > 7) fax->cover.coverFlags = 7;
}

void CopyFaxSettings(FaxSettings* dst, const FaxSettings* src) {
    if (!dst || !src || dst == src) return;
    BoundedCopy(dst->recipientFax, src->recipientFax);
    BoundedCopy(dst->station, src->station);
    dst->resolution = src->resolution;
    dst->sendCoverPage = src->sendCoverPage;
    BoundedCopy(dst->recipientName, src->recipientName);
    CopyFaxCover(&dst->cover, &src->cover);
}

void CopyFaxCover(FaxCover* dst, const FaxCover* src) {
    if (!dst || !src || dst == src) return;
    BoundedCopy(dst->senderName, src->senderName);
    BoundedCopy(dst->senderCompany, src->senderCompany);
    BoundedCopy(dst->senderAddress, src->senderAddress);
    BoundedCopy(dst->reservedText, src->reservedText);
    BoundedCopy(dst->senderFax, src->senderFax);
    BoundedCopy(dst->senderVoice, src->senderVoice);
    BoundedCopy(dst->senderEmail, src->senderEmail);
    BoundedCopy(dst->comments, src->comments);
    dst->coverFlags = src->coverFlags;
}

// ---------------------------------------------------------------------------------------------
// Plug-in devmode

void defaultPluginDevmode(PluginDevmode* dm) {
    if (!dm) return;
    dm->dwSize = kPluginDevmodeSize;
    dm->dwSignature = kPluginSignature;
    dm->dwVersion = kPluginVersion;
    dm->watermarkEnabled = 0;
    dm->watermarkOrder = 0;
    ResetWatermark(&dm->firstWatermark);
    ResetWatermark(&dm->otherWatermark);
    dm->jobSelector = 2;
    dm->jobFlagA = 0;
    dm->outputTo = 0;
    dm->jobText[0] = 0;
    dm->userName[0] = 0;
    dm->pin[0] = 0;
    dm->jobFlagB = 0;
    dm->jobFlagC = 1;
    dm->jobFlagD = 0;
    dm->jobShortText[0] = 0;
    ResetFaxSettings(&dm->fax);
    dm->jobFlagE = 0;
    std::memset(&dm->colorCorrection, 0,
                offsetof(PluginDevmode, keepPreviousJobs) - offsetof(PluginDevmode, colorCorrection));
    dm->keepPreviousJobs = 0;
    dm->reverseOrBooklet = 0;
    std::memset(&dm->brightness, 0,
                offsetof(PluginDevmode, reserved) - offsetof(PluginDevmode, brightness));
}

void convertPluginDevmode(const void* inRaw, PluginDevmode* out) {
    if (!inRaw || !out) return;
    const auto* in = static_cast<const unsigned char*>(inRaw);
    uint32_t inSize;
    std::memcpy(&inSize, in, sizeof inSize);
    constexpr uint32_t kHeader = 12;
    // The signature is only read when the input claims to hold a whole header; a record that
    // does not is no record of ours.
    uint32_t inSignature = 0;
    const bool ownRecord =
        inSize >= kHeader &&
        (std::memcpy(&inSignature, in + 4, sizeof inSignature), inSignature == out->dwSignature);
    const uint32_t n = ownRecord ? (inSize < kPluginDevmodeSize ? inSize : kPluginDevmodeSize) : 0;
    // A host may hand the same buffer as input and output; defaulting would then wipe the input
    // before it is copied, so keep the bytes that matter aside first.
    const auto* outBytes = reinterpret_cast<const unsigned char*>(out);
    const bool overlaps = n && in < outBytes + sizeof(PluginDevmode) && outBytes < in + n;
    unsigned char saved[kPluginDevmodeSize];
    if (overlaps) {
        std::memcpy(saved, in, n);
        in = saved;
    }
    defaultPluginDevmode(out);
    if (n) std::memcpy(out, in, n);
    out->dwVersion = kPluginVersion;
    out->dwSize = kPluginDevmodeSize;
}

static void ZeroOrOne(Bool32& v) {
    if (v > 1) v = 0;
}

bool validatePluginDevmode(PluginDevmode* dm) {
    if (!dm) return false;
    dm->dwSize = kPluginDevmodeSize;
    dm->dwSignature = kPluginSignature;
    dm->dwVersion = kPluginVersion;
    for (Bool32* flag : {&dm->watermarkEnabled, &dm->watermarkOverPage, &dm->jobFlagA,
                         &dm->jobFlagB, &dm->jobFlagD, &dm->jobFlagE, &dm->keepPreviousJobs,
                         &dm->reverseOrBooklet, &dm->grayCorrection, &dm->enhanceFineLines})
        ZeroOrOne(*flag);
    if (dm->jobFlagC > 1) dm->jobFlagC = 1;
    if (dm->watermarkOrder > 3) dm->watermarkOrder = 0;
    if (!ValidateWatermark(&dm->firstWatermark)) ResetWatermark(&dm->firstWatermark);
    if (!ValidateWatermark(&dm->otherWatermark)) ResetWatermark(&dm->otherWatermark);
    if (dm->outputTo > 7) dm->outputTo = 0;
    if (dm->jobSelector > 7) dm->jobSelector = 2;
    TerminateArray(dm->jobText);
    TerminateArray(dm->userName);
    TerminateArray(dm->pin);
    TerminateArray(dm->jobShortText);
    if (dm->colorCorrection > 3) dm->colorCorrection = 0;
    for (uint32_t* v : {&dm->rgbImages, &dm->rgbText, &dm->rgbGraphics, &dm->cmykImages,
                        &dm->cmykText, &dm->cmykGraphics})
        if (*v > 5) *v = 0;
    if (dm->colorBalance > 1) dm->colorBalance = 0;
    for (int32_t* v : {&dm->cyanBalance, &dm->magentaBalance, &dm->yellowBalance,
                       &dm->blackBalance})
        if (*v < -5 || *v > 5) *v = 0;
    if (dm->hueMiser > 2) dm->hueMiser = 0;
    if (dm->brightness < -6 || dm->brightness > 6) dm->brightness = 0;
    if (dm->contrast < 0 || dm->contrast > 5) dm->contrast = 0;
    if (dm->saturation < 0 || dm->saturation > 5) dm->saturation = 0;
    RepairFaxSettings(&dm->fax);
    return true;
}

void mergePluginDevmode(const void* in, PluginDevmode* out) {
    if (!in || !out) return;
    convertPluginDevmode(in, out);
    validatePluginDevmode(out);
}

void copyWorkingDevmode(PluginDevmode* dst, const PluginDevmode* src) {
    if (!dst || !src || dst == src) return;
    dst->dwSize = src->dwSize;
    dst->dwSignature = src->dwSignature;
    dst->dwVersion = src->dwVersion;
    dst->watermarkEnabled = src->watermarkEnabled;
    dst->watermarkOrder = src->watermarkOrder;
    dst->watermarkOverPage = src->watermarkOverPage;
    CopyWatermark(&dst->firstWatermark, &src->firstWatermark);
    CopyWatermark(&dst->otherWatermark, &src->otherWatermark);
    dst->jobFlagA = src->jobFlagA;
    dst->outputTo = src->outputTo;
    dst->jobSelector = src->jobSelector;
    BoundedCopy(dst->jobText, src->jobText);
    BoundedCopy(dst->userName, src->userName);
    BoundedCopy(dst->pin, src->pin);
    dst->jobFlagC = src->jobFlagC;
    dst->jobFlagD = src->jobFlagD;
    BoundedCopy(dst->jobShortText, src->jobShortText);
    dst->jobFlagE = src->jobFlagE;
    CopyFaxSettings(&dst->fax, &src->fax);
    std::memcpy(&dst->colorCorrection, &src->colorCorrection,
                offsetof(PluginDevmode, keepPreviousJobs) - offsetof(PluginDevmode, colorCorrection));
    dst->keepPreviousJobs = src->keepPreviousJobs;
    dst->reverseOrBooklet = src->reverseOrBooklet;
    BoundedCopy(dst->profileName, src->profileName);
    dst->profileLoaded = src->profileLoaded;
    std::memcpy(&dst->brightness, &src->brightness,
                offsetof(PluginDevmode, reserved) - offsetof(PluginDevmode, brightness));
}

} // namespace cv
