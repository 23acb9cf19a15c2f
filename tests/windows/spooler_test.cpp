// The plug-in's two-call questions to the spooler, against a spooler that answers as scripted.
// (The host installing through Wine's real spooler: printer_setup_test.cpp.)
#include "core/spooler_query.h"
#include "import_hook.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace cvtest;

namespace {

// One answer of the scripted spooler: the call's result, its last error and the size it reports.
struct Answer {
    BOOL ok;
    DWORD error;
    DWORD needed;
};
std::vector<Answer> answers;
size_t answered = 0;
BOOL WINAPI ScriptedGetPrinter(HANDLE, DWORD, LPBYTE data, DWORD size, LPDWORD needed) {
    const Answer a = answered < answers.size() ? answers[answered] : Answer{FALSE, 87, 0};
    ++answered;
    *needed = a.needed;
    if (a.ok && data) std::memset(data, 0x11, size);
    SetLastError(a.error);
    return a.ok;
}

// Size first, then the data; one more round when the printer grew in between; anything else,
// and an answer too short for the structure, is no answer.
TEST(SpoolerQuery, SizeThenDataWithOneRetryWhenItGrew) {
    ImportHook hook(GetModuleHandleW(nullptr), "winspool.drv", "GetPrinterW",
                    reinterpret_cast<void*>(&ScriptedGetPrinter));
    ASSERT_TRUE(hook.installed());
    const DWORD more = ERROR_INSUFFICIENT_BUFFER, big = sizeof(PRINTER_INFO_2W) + 64;
    const struct {
        std::vector<Answer> script;
        size_t read; // the buffer's size when the answer is taken, else 0
    } cases[] = {
        {{{FALSE, more, big}, {TRUE, 0, big}}, big},
        {{{FALSE, more, big}, {FALSE, more, big + 8}, {FALSE, more, big + 8}, {TRUE, 0, big + 8}},
         big + 8},
        {{{FALSE, more, big}, {FALSE, more, big + 8}, {FALSE, more, big + 16}, {FALSE, more, 0}},
         0},
        {{{FALSE, more, big}, {FALSE, ERROR_ACCESS_DENIED, big}}, 0},
        {{{TRUE, 0, 0}}, 0},
        {{{FALSE, ERROR_INVALID_HANDLE, big}}, 0},
        {{{FALSE, more, sizeof(PRINTER_INFO_2W) - 1}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        answers = c.script;
        answered = 0;
        std::vector<BYTE> buffer;
        const PRINTER_INFO_2W* info = cv::ReadPrinterInfo2(reinterpret_cast<HANDLE>(1), &buffer);
        EXPECT_EQ(info ? buffer.size() : size_t(0), c.read);
        EXPECT_EQ(answered, c.script.size()) << "every scripted answer, and no more, was asked";
    }
}

} // namespace
