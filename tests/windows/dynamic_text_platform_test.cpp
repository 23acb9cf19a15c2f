// Dynamic watermark text expanded with the system's own values, compared with what the same
// Win32 calls answer directly.
#include "core/module.h"
#include "support.h"
#include "printer_fixture.h"
#include "watermark/dynamic_text_platform_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>

using namespace cvtest;

namespace {

struct SystemDynamicText : ::testing::Test {
    RegistryPrinter printer{L"dynamic text"};
    // A fixed afternoon, so that the expected texts are computed from the same moment.
    cv::LocalTime when{2024, 3, 2, 5, 13, 5, 9, 0}; // Tuesday 5 March 2024, 13:05:09

    void SetUp() override {
        ASSERT_TRUE(printer.handle());
        cv::moduleInstance = PluginDll::Get().module;
        ASSERT_TRUE(cv::moduleInstance);
    }
    std::wstring Expand(const char16_t* text, cv::ExpansionMode mode = cv::ExpansionMode::Preview) {
        char16_t out[cv::kDynamicTextCapacity] = {};
        size_t capacity = cv::kDynamicTextCapacity;
        if (!cv::ExpandWatermarkText(cv::SystemDynamicTextPlatform(), printer.handle(), nullptr,
                                     text, 1, when, mode, out, &capacity))
            return L"<failed>";
        return std::wstring(reinterpret_cast<const wchar_t*>(out));
    }
    SYSTEMTIME When() const {
        SYSTEMTIME st;
        std::memcpy(&st, &when, sizeof st);
        return st;
    }
};

TEST_F(SystemDynamicText, ValuesComeFromTheSystemAndFitExactlyOrNotAtAll) {
    wchar_t user[256] = {}, computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = 256;
    ASSERT_TRUE(GetUserNameW(user, &size));
    size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(computer, &size));
    EXPECT_EQ(Expand(u"User:  %Username% on %hostname%"),
              std::wstring(L"User:  ") + user + L" on " + computer);

    const SYSTEMTIME st = When();
    wchar_t date[128] = {}, time[128] = {};
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, 128), 0);
    ASSERT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128), 0);
    EXPECT_EQ(Expand(u"%Time% %DateLong%"), std::wstring(time) + L" " + date);
    EXPECT_EQ(Expand(u"%dateddmmyyyy% %timemil%"), L"05/03/2024 13:05:09");
    EXPECT_EQ(Expand(u"%printer%|%modelname%|%pagenumber%|100%%"),
              printer.printerName() + L"|" + printer.driverName() + L"|1|100%");
    EXPECT_EQ(Expand(u"%bogus% tail", cv::ExpansionMode::Validate), L"<failed>");

    // A value is taken when it and its terminator exactly fill the buffer, and refused, never
    // cut, one unit short of that.
    cv::DynamicTextPlatform& p = cv::SystemDynamicTextPlatform();
    void* handle = printer.handle();
    const std::function<size_t(char16_t*, size_t)> reads[] = {
        [&](char16_t* b, size_t c) { return p.LoadText(cv::kVariableUserName, b, c); },
        [&](char16_t* b, size_t c) { return p.UserName(b, c); },
        [&](char16_t* b, size_t c) { return p.ComputerName(b, c); },
        [&](char16_t* b, size_t c) {
            return p.FormatDate(when, cv::DateStyle::Long, nullptr, b, c);
        },
        [&](char16_t* b, size_t c) { return p.FormatTime(when, nullptr, b, c); },
        // Pictures whose text is one unit long ("5", "9").
        [&](char16_t* b, size_t c) {
            return p.FormatDate(when, cv::DateStyle::Picture, u"d", b, c);
        },
        [&](char16_t* b, size_t c) { return p.FormatTime(when, u"s", b, c); },
        [&](char16_t* b, size_t c) {
            return p.PrinterInfo(handle, cv::PrinterField::DriverName, b, c);
        },
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(&read - reads);
        char16_t value[256];
        const size_t n = read(value, 256);
        ASSERT_GT(n, 0u);
        std::fill(std::begin(value), std::end(value), u'#');
        EXPECT_EQ(read(value, n + 1), n);
        EXPECT_EQ(value[n], 0);
        EXPECT_EQ(value[n + 1], u'#') << "nothing is written past the buffer";
        EXPECT_EQ(read(value, n), 0u);
        EXPECT_EQ(read(nullptr, 256) + read(value, 0), 0u);
    }
    // The current local time is the system's (read between two readings of it).
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const cv::LocalTime now = p.CurrentLocalTime();
    GetLocalTime(&after);
    const auto day = [](int y, int m, int d) { return y * 10000 + m * 100 + d; };
    EXPECT_GE(day(now.year, now.month, now.day), day(before.wYear, before.wMonth, before.wDay));
    EXPECT_LE(day(now.year, now.month, now.day), day(after.wYear, after.wMonth, after.wDay));
}

} // namespace
