#include "core/spooler_query.h"

#include <new>

namespace cv {

namespace {

enum class Query { Printer, Driver };

// Both calls with the same level. The printer can change between the size question and the
// read; one more round settles a size that grew.
const BYTE* Fetch(Query query, HANDLE hPrinter, DWORD level, size_t minimum,
                  std::vector<BYTE>* buffer) {
    if (!hPrinter || !buffer) return nullptr;
    const auto call = [&](BYTE* data, DWORD size, DWORD* needed) {
        return query == Query::Printer
                   ? GetPrinterW(hPrinter, level, data, size, needed)
                   : GetPrinterDriverW(hPrinter, nullptr, level, data, size, needed);
    };
    try {
        for (int attempt = 0; attempt < 2; ++attempt) {
            DWORD needed = 0;
            if (call(nullptr, 0, &needed)) return nullptr; // no data is no answer
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < minimum) return nullptr;
            buffer->assign(needed, 0);
            if (call(buffer->data(), needed, &needed)) return buffer->data();
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return nullptr;
        }
    } catch (const std::bad_alloc&) {
    }
    return nullptr;
}

} // namespace

const PRINTER_INFO_2W* ReadPrinterInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer) {
    return reinterpret_cast<const PRINTER_INFO_2W*>(
        Fetch(Query::Printer, hPrinter, 2, sizeof(PRINTER_INFO_2W), buffer));
}

const DRIVER_INFO_2W* ReadDriverInfo2(HANDLE hPrinter, std::vector<BYTE>* buffer) {
    return reinterpret_cast<const DRIVER_INFO_2W*>(
        Fetch(Query::Driver, hPrinter, 2, sizeof(DRIVER_INFO_2W), buffer));
}

const DRIVER_INFO_3W* ReadDriverInfo3(HANDLE hPrinter, std::vector<BYTE>* buffer) {
    return reinterpret_cast<const DRIVER_INFO_3W*>(
        Fetch(Query::Driver, hPrinter, 3, sizeof(DRIVER_INFO_3W), buffer));
}

std::wstring PrinterDriverName(HANDLE hPrinter) {
    std::vector<BYTE> buffer;
    const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(
        Fetch(Query::Driver, hPrinter, 1, sizeof(DRIVER_INFO_1W), &buffer));
    if (!info || !info->pName) return {};
    try {
        return info->pName;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace cv
