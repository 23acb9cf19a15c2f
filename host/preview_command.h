// `cvhost preview`: shows, or paints into a bitmap file, the watermark preview of a record given
// on the command line.
#pragma once

// argv[0] names the command (or the program); the options follow it:
//   --text TEXT [--dynamic] [--angle DEG] [--position NAME|CODE] [--size PT] [--color 0xBBGGRR]
//   [--intensity PCT] [--face NAME] [--style 0-3] [--effects 0-7]
//   [--offset VERTICAL HORIZONTAL] [--mm] [--printer NAME] [--out FILE.bmp]
// Without --out a window shows the preview until it is closed. Returns 0 on success, 1 when
// the preview could not be made, 2 for a usage error.
int RunPreviewCommand(int argc, wchar_t** argv);
