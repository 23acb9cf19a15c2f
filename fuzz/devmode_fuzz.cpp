// Convert, merge and validate over arbitrary bytes. The input record is given exactly the bytes
// its dwSize claims (at most 7672), so AddressSanitizer reports any read past them; the output is
// a record of its own size, so any write outside it is reported too. A profile's stored image is
// read from a value of exactly the input's length, whatever its dwSize claims.
#include "core/records.h"
#include "profiles/profile_rules.h"
#include "ui/bounded_string.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace cv;

static void CheckTerminated(const PluginDevmode& dm) {
    auto terminated = [](const char16_t* text, size_t capacity) {
        if (BoundedLength(text, capacity) >= capacity) std::abort();
    };
    terminated(dm.jobText, 512);
    terminated(dm.userName, 25);
    terminated(dm.pin, 5);
    terminated(dm.jobShortText, 17);
    for (const WatermarkSettings* wm : {&dm.firstWatermark, &dm.otherWatermark}) {
        terminated(wm->name, 128);
        terminated(wm->text, 128);
        terminated(wm->faceName, 64);
    }
    terminated(dm.fax.recipientFax, 128);
    terminated(dm.fax.cover.comments, 1024);
    terminated(dm.fax.cover.senderAddress, 256);
    if (dm.dwSize != kPluginDevmodeSize || dm.dwVersion != kPluginVersion) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    // First byte picks the output's starting state, the rest is the input record.
    const uint8_t mode = data[0];
    ++data;
    --size;
    uint32_t claimed;
    std::memcpy(&claimed, data, 4);
    size_t readable = claimed < kPluginDevmodeSize ? claimed : kPluginDevmodeSize;
    if (readable < 4) readable = 4; // the size field itself is always there
    std::vector<uint8_t> in(readable, 0);
    std::memcpy(in.data(), data, size < readable ? size : readable);

    auto* out = static_cast<PluginDevmode*>(std::malloc(sizeof(PluginDevmode)));
    if (mode & 1) {
        defaultPluginDevmode(out);
    } else {
        // A host's output buffer holding anything at all, signature included.
        for (size_t i = 0; i < sizeof(PluginDevmode); ++i)
            reinterpret_cast<uint8_t*>(out)[i] = data[i % size];
    }
    mergePluginDevmode(in.data(), out);
    CheckTerminated(*out);

    PluginDevmode copy;
    std::memset(&copy, 0xAB, sizeof copy);
    copyWorkingDevmode(&copy, out);
    CheckTerminated(copy);

    if (mode & 2) {
        // Validation alone on a raw record of our size.
        std::memcpy(out, in.data(), readable < sizeof *out ? readable : sizeof *out);
        validatePluginDevmode(out);
        CheckTerminated(*out);
    }
    if (mode & 4) {
        const std::vector<uint8_t> value(data, data + size);
        if (DecodeProfileDevmode(kRegistryBinary, value.data(), value.size(), out))
            CheckTerminated(*out);
    }
    std::free(out);
    return 0;
}
