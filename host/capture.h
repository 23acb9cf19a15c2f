// Pictures of the host's windows: the sheet and its pages for the demo, the screenshots and the
// pixel tests. The picture is copied from the window's own surface in this process (BitBlt from
// its window DC), frame included, so it shows what the window drew whether or not it is covered;
// under Wine that works with the X11 driver and with the null driver alike.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace cvhost {

// Dispatches this thread's messages for `ms` milliseconds (paints, timers, posted commands).
void PumpMessagesFor(DWORD ms);

// Redraws `window` with its children and saves what it shows, frame included, as a 24-bit BMP.
bool SaveWindowBitmap(HWND window, const std::wstring& bmpPath, std::wstring* error);

} // namespace cvhost

namespace cvhost {

// The title of each page of a property sheet, in tab order.
std::vector<std::wstring> SheetPageTitles(HWND sheet);

// Shows every page of `sheet` in turn and saves a picture of the sheet for each as
// `<dir>\<prefix>-<n>-<title>.bmp` (n from 1; the title in lower case, blanks as '-').
// The files written are appended to `files`.
bool CaptureSheetPages(HWND sheet, const std::wstring& dir, const std::wstring& prefix,
                       std::vector<std::wstring>* files, std::wstring* error);

} // namespace cvhost
