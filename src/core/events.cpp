#include "core/sheets.h"

namespace cv {

// Driver and printer events arrive with the stand-in host, which gives them a spooler to act on.
void HandleDriverEvent(DWORD, DWORD, const BYTE*) {}
bool AssignPrintProcessor(const wchar_t*) { return true; }

} // namespace cv
