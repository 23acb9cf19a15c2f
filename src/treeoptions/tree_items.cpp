#include "core/sheets.h"

namespace cv {

// The colour and quality items arrive later; until then the plug-in adds no items.
HRESULT AdvancedTreeItems(PluginObject*, DWORD, POEMCUIPPARAM param) {
    if (!param->pOEMOptItems) param->cOEMOptItems = 0;
    return S_OK;
}

} // namespace cv
