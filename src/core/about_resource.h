// Control identifiers of the About page templates (dialogs 137 and 109). Shared by the .rc and
// the page procedure; the numbers belong to the translated templates and stay stable.
#pragma once

#define IDC_ABOUT_VERSION 1080
#define IDC_ABOUT_FILES 1081
#define IDC_ABOUT_FIXED_LINE 1164
#define IDC_ABOUT_MODEL 1165
#define IDC_ABOUT_BITMAP 1166
