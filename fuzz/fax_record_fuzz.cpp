// The remembered "FaxInfo" value of any type and length, decoded as the Output Options page reads
// it. The value is a heap block of exactly its length, so AddressSanitizer reports any read past
// it; a record that is accepted holds terminated texts and repaired numbers.
//
// Input: byte 0 picks the registry type (odd: REG_BINARY), the rest is the value.
#include "output/output_rules.h"
#include "ui/bounded_string.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace cv;

static void Check(bool condition) {
    if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t type = (data[0] & 1) ? kRegistryBinary : data[0];
    const std::vector<uint8_t> value(data + 1, data + size);
    FaxSettings fax;
    const bool accepted = DecodeFaxInfo(type, value.data(), value.size(), &fax);
    Check(accepted == (type == kRegistryBinary && !value.empty() && value.size() <= sizeof fax));
    if (!accepted) return 0;
    const FaxCover& c = fax.cover;
    const struct {
        const char16_t* text;
        size_t capacity;
    } texts[] = {{fax.recipientFax, 128}, {fax.station, 128},      {fax.recipientName, 128},
                 {c.senderName, 128},     {c.senderCompany, 128},  {c.senderAddress, 256},
                 {c.reservedText, 256},   {c.senderFax, 64},       {c.senderVoice, 64},
                 {c.senderEmail, 64},     {c.comments, 1024}};
    for (const auto& t : texts) Check(BoundedLength(t.text, t.capacity) < t.capacity);
    Check(fax.resolution == 0 && fax.sendCoverPage <= 1 && c.coverFlags <= 7);
    // A record that ends before the cover flags has the default ones.
    if (value.size() <= offsetof(FaxSettings, cover) + offsetof(FaxCover, coverFlags))
        Check(c.coverFlags == 7);
    return 0;
}
