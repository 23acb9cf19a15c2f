// The fax cover-page dialog (template 130): which parts the cover sheet carries, the sender's
// details and the comments.
#pragma once

#include "core/plugin_abi.h"
#include "core/records.h"

namespace cv {

// Shows the dialog modally over `owner` on a copy of *cover and writes the copy back on OK
// (true). Cancel, Esc and the close box leave *cover as it was (false). A dialog that is not
// `editable` (its sheet is not whole) shows *cover and closes on OK as on Cancel.
bool EditCoverPage(HWND owner, FaxCover* cover, bool editable);

} // namespace cv
