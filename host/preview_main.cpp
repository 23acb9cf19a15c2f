// cvpreview: the preview command on its own, until cvhost takes it as a sub-command.
#include "preview_command.h"

int wmain(int argc, wchar_t** argv) {
    return RunPreviewCommand(argc, argv);
}
