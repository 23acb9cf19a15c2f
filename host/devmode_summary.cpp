#include "host/devmode_summary.h"

#include "ui/bounded_string.h"

#include <cstdio>

namespace cvhost {

namespace {

template <size_t N> std::string Text(const char16_t (&units)[N]) {
    std::string out = "\"";
    const size_t n = cv::BoundedLength(units, N);
    for (size_t i = 0; i < n; ++i) {
        const char32_t c = units[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else { // surrogates are shown as they are; this is a report, not a conversion
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out + "\"";
}

template <size_t N> const char* Name(const char* const (&names)[N], uint32_t value) {
    return value < N ? names[value] : "out of range";
}

std::string Coded(const char* label, uint32_t value, const char* name) {
    return std::string(label) + " " + std::to_string(value) + " (" + name + ")";
}

const char* YesNo(uint32_t value) {
    return value ? "yes" : "no";
}

std::string Watermark(const char* which, const cv::WatermarkSettings& wm) {
    static const char* const kPositions[] = {"center",       "bottom left",   "top left",
                                             "center left",  "bottom center", "top center",
                                             "bottom right", "top right",     "center right"};
    static const char* const kStyles[] = {"regular", "italic", "bold", "bold italic"};
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "angle %.1f, colour #%02X%02X%02X at %u%%, %u pt %s, offsets %.2f/%.2f %s",
                  wm.angle, wm.color & 0xFF, (wm.color >> 8) & 0xFF, (wm.color >> 16) & 0xFF,
                  wm.intensity, wm.pointSize, Name(kStyles, wm.fontStyle), wm.verticalOffset,
                  wm.horizontalOffset, wm.units == cv::Millimeters ? "mm" : "in");
    return std::string("    ") + which + " " + Text(wm.name) + ": text " + Text(wm.text) +
           (wm.isDynamic ? " (dynamic)" : "") + ", font " + Text(wm.faceName) + ", " + numbers +
           ", anchored " + Name(kPositions, wm.position) + "\n";
}

} // namespace

std::string DescribePluginDevmode(const cv::PluginDevmode& dm) {
    static const char* const kOrders[] = {"none", "all pages", "odd pages / even pages",
                                          "first page / other pages"};
    static const char* const kOutputs[] = {
        "Printer",       "File",         "EPS",         "Fax", "Confidential Print",
        "Reserve Print", "Repeat Print", "Verify Print"};
    static const char* const kCorrections[] = {"Printer Setting", "Off", "Auto", "Manual"};
    static const char* const kRgb[] = {"Printer Setting", "sRGB Display", "sRGB Vivid",
                                       "Vivid",           "Off",          "Display - True Black"};
    static const char* const kCmyk[] = {"Printer Setting", "US CMYK", "Euro CMYK", "Vivid CMYK",
                                        "Off"};
    static const char* const kBalance[] = {"Printer Setting", "Manual"};
    static const char* const kHueMiser[] = {"Printer Setting", "Off", "On"};

    const char sig[5] = {
        static_cast<char>(dm.dwSignature >> 24), static_cast<char>(dm.dwSignature >> 16),
        static_cast<char>(dm.dwSignature >> 8), static_cast<char>(dm.dwSignature), 0};
    std::string s = "Plug-in devmode: " + std::to_string(dm.dwSize) + " bytes, signature " + sig +
                    ", version " + std::to_string(dm.dwVersion) + "\n";
    s += std::string("  Watermark  printed ") + YesNo(dm.watermarkEnabled) + ", " +
         Coded("order", dm.watermarkOrder, Name(kOrders, dm.watermarkOrder)) + ", " +
         (dm.watermarkOverPage ? "over" : "under") + " the page contents\n";
    s += Watermark("first", dm.firstWatermark);
    s += Watermark("other", dm.otherWatermark);
    s += "  Output     " + Coded("to", dm.outputTo, Name(kOutputs, dm.outputTo)) + ", user name " +
         Text(dm.userName) + ", PIN " + Text(dm.pin) + ", keep previous jobs " +
         YesNo(dm.keepPreviousJobs) + "\n";
    s += "  Fax        recipient " + Text(dm.fax.recipientName) + " at " +
         Text(dm.fax.recipientFax) + ", station " + Text(dm.fax.station) + ", cover page " +
         YesNo(dm.fax.sendCoverPage) + " (parts " + std::to_string(dm.fax.cover.coverFlags) +
         "), sender " + Text(dm.fax.cover.senderName) + "\n";
    s += "  Colour     " +
         Coded("correction", dm.colorCorrection, Name(kCorrections, dm.colorCorrection)) +
         "; RGB images/text/graphics " + Name(kRgb, dm.rgbImages) + " / " + Name(kRgb, dm.rgbText) +
         " / " + Name(kRgb, dm.rgbGraphics) + "; CMYK " + Name(kCmyk, dm.cmykGraphics) + "\n";
    s += "             " + Coded("balance", dm.colorBalance, Name(kBalance, dm.colorBalance)) +
         ": cyan " + std::to_string(dm.cyanBalance) + ", magenta " +
         std::to_string(dm.magentaBalance) + ", yellow " + std::to_string(dm.yellowBalance) +
         ", black " + std::to_string(dm.blackBalance) + "; " +
         Coded("HueMiser", dm.hueMiser, Name(kHueMiser, dm.hueMiser)) + "\n";
    s += "  Quality    brightness " + std::to_string(dm.brightness) + ", contrast " +
         std::to_string(dm.contrast) + ", saturation " + std::to_string(dm.saturation) +
         ", gray correction " + YesNo(dm.grayCorrection) + ", enhance fine lines " +
         YesNo(dm.enhanceFineLines) + "\n";
    s += "  Profile    " + Text(dm.profileName) + (dm.profileLoaded ? " (loaded)" : "") +
         "; reverse order or booklet " + YesNo(dm.reverseOrBooklet) + "\n";
    return s;
}

} // namespace cvhost
