// Resource numbers shared by the .rc and the code. Dialog and string numbers are part of the
// module's contract with its translations; keep them stable.
#pragma once

#define IDS_FILE 56
#define IDS_VERSION 57
#define IDS_NOT_AVAILABLE 55
#define IDS_DRIVER_FORMAT 147
#define IDS_VERSION_FORMAT 148

#define IDD_OUTPUT_OPTIONS 128
#define IDD_OUTPUT_OPTIONS_NEWPIN 1232
#define IDD_COVER_PAGE 130
#define IDD_WATERMARK 106
#define IDD_PROFILES 225
#define IDD_ABOUT_DOC 137
#define IDD_ABOUT_PRINTER 109
