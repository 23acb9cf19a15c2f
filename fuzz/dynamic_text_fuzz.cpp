// Dynamic-text expansion over arbitrary UTF-16 texts in both modes. The text and the output
// buffer are heap blocks of exactly their size, so AddressSanitizer reports any read past the
// text's terminator or write past the buffer's capacity; the capacity protocol is checked after
// every call and a breach aborts.
//
// Input: byte 0 picks the mode and the platform's answers, bytes 1-2 the output capacity, the
// rest is the text as UTF-16LE.
#include "watermark/dynamic_text.h"

#include "../tests/native/fixed_platform.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace cv;

namespace {

constexpr char16_t kSentinel = 0xFDFD;

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t flags = data[0];
    const size_t given = size_t(data[1]) | (size_t(data[2] & 0x0F) << 8); // 0..4095
    data += 3;
    size_t units = (size - 3) / 2;
    if (units > kDynamicTextCapacity + 64) units = kDynamicTextCapacity + 64;

    std::vector<char16_t> text(units + 1);
    for (size_t i = 0; i < units; ++i) text[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    text[units] = 0;

    cv::testing::FixedPlatform platform;
    static const size_t userLengths[] = {4, 2000, 2046, 2047};
    platform.user.assign(userLengths[(flags >> 2) & 3], u'u');
    if (flags & 0x10) platform.strings.erase(kDelimiterTextId);
    if (flags & 0x20) platform.strings[kDelimiterTextId] = u"#%";
    platform.failDates = (flags & 0x40) != 0;
    const ExpansionMode mode = (flags & 1) ? ExpansionMode::Validate : ExpansionMode::Preview;
    void* printer = (flags & 2) ? cv::testing::FixedPrinterHandle() : nullptr;

    char16_t* out = given ? static_cast<char16_t*>(std::malloc(given * sizeof(char16_t))) : nullptr;
    for (size_t i = 0; i < given; ++i) out[i] = kSentinel;
    size_t capacity = given;
    const bool ok = ExpandWatermarkText(platform, printer, nullptr, text.data(),
                                        int32_t(flags) - 128, platform.now, mode, out, &capacity);

    auto untouched = [&] {
        for (size_t i = 0; i < given; ++i)
            if (out[i] != kSentinel) return false;
        return true;
    };
    if (ok) {
        Check(printer != nullptr);
        Check(capacity >= 1 && capacity <= kDynamicTextCapacity);
        if (given >= capacity) {
            for (size_t i = 0; i + 1 < capacity; ++i) Check(out[i] != 0);
            Check(out[capacity - 1] == 0);
        } else {
            Check(untouched());
        }
    } else {
        Check(capacity == 0);
        Check(untouched());
    }

    // Asking for the size alone answers the same.
    size_t sizeOnly = 0;
    const bool okSize = ExpandWatermarkText(platform, printer, nullptr, text.data(),
                                            int32_t(flags) - 128, platform.now, mode, nullptr,
                                            &sizeOnly);
    Check(okSize == ok && sizeOnly == capacity);

    if (printer) {
        // The editor's check is the Validate expansion at page 1.
        size_t validateCapacity = kDynamicTextCapacity;
        std::vector<char16_t> scratch(kDynamicTextCapacity);
        const bool valid = ExpandWatermarkText(platform, printer, nullptr, text.data(), 1,
                                               platform.now, ExpansionMode::Validate,
                                               scratch.data(), &validateCapacity);
        Check(ValidateWatermarkText(platform, printer, nullptr, text.data()) == valid);
    }
    std::free(out);
    return 0;
}
