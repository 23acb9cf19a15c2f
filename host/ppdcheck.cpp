// ppdcheck: reads PPD files with the stand-in host's reader, natively, and says which the host
// would take. For trying a collection of vendor PPDs (tools/ppd-extract) without Wine.
//
//   ppdcheck [-w] FILE...   -w: print the warnings of the files it takes too
//
// One line per refused file (the reader's error), then "N taken (W with warnings), R refused".
// Exit status 1 when any file is refused.
#include "host/ppd.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *text = bytes.str();
    return true;
}

// *Include names a file relative to the folder of the file that includes it.
bool ReadInclude(const std::string& name, const std::string& from, std::string* path,
                 std::string* text, std::string* problem) {
    const size_t slash = from.find_last_of('/');
    *path =
        name.front() == '/' || slash == std::string::npos ? name : from.substr(0, slash + 1) + name;
    if (ReadWhole(*path, text)) return true;
    *problem = *path + " cannot be read";
    return false;
}

} // namespace

int main(int argc, char** argv) {
    bool showWarnings = false;
    int taken = 0, warned = 0, refused = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-w") {
            showWarnings = true;
            continue;
        }
        cvhost::PpdSource source;
        std::string text;
        if (!ReadWhole(arg, &text)) {
            std::printf("%s: cannot be read\n", arg.c_str());
            ++refused;
            continue;
        }
        source.text = text;
        source.path = arg;
        source.readInclude = &ReadInclude;
        std::string error;
        std::vector<std::string> warnings;
        if (!cvhost::ParsePpd(source, nullptr, &error, &warnings)) {
            std::printf("%s\n", error.c_str());
            ++refused;
            continue;
        }
        ++taken;
        if (!warnings.empty()) ++warned;
        if (showWarnings)
            for (const std::string& w : warnings)
                std::printf("warning: %s\n", w.c_str());
    }
    std::printf("%d taken (%d with warnings), %d refused\n", taken, warned, refused);
    return refused ? 1 : 0;
}
