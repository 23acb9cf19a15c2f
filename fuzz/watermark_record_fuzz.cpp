// A stored watermark value of any type and length, decoded as the store reads it. The value is a
// heap block of exactly its length, so AddressSanitizer reports any read past it; a record that
// is accepted holds terminated texts and every number the repair rules bound, and one that is
// refused leaves the caller's record as it was.
//
// Input: byte 0 picks the registry type (odd: REG_BINARY), the rest is the value.
#include "core/records.h"
#include "ui/bounded_string.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace cv;

static void Check(bool condition) {
    if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t type = (data[0] & 1) ? kRegistryBinary : data[0];
    const std::vector<uint8_t> value(data + 1, data + size);
    WatermarkSettings wm;
    std::memset(&wm, 0xEE, sizeof wm);
    const bool accepted = DecodeWatermark(type, value.data(), value.size(), &wm);
    Check(accepted == (type == kRegistryBinary && !value.empty() && value.size() <= sizeof wm));
    if (!accepted) {
        for (size_t i = 0; i < sizeof wm; ++i) Check(reinterpret_cast<uint8_t*>(&wm)[i] == 0xEE);
        return 0;
    }
    Check(BoundedLength(wm.name, 128) < 128 && BoundedLength(wm.text, 128) < 128 &&
          BoundedLength(wm.faceName, 64) < 64);
    Check(wm.angle >= -180.0 && wm.angle <= 180.0);
    Check(wm.fontStyle <= BoldItalic && (wm.effects & ~7u) == 0 && wm.position <= CenterRight);
    Check(wm.intensity >= 1 && wm.intensity <= 100 && wm.units <= Inches);
    // What the value does not reach keeps the defaults.
    if (value.size() <= offsetof(WatermarkSettings, pointSize)) Check(wm.pointSize == 72);
    if (value.size() <= offsetof(WatermarkSettings, isDynamic)) Check(wm.isDynamic == 0);
    return 0;
}
