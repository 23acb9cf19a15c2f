// The profile name dialog (template 113), for saving the settings under a new name and for
// renaming a profile, and the page's messages, which all carry the caption "Personal Profiles".
#pragma once

#include "core/plugin_abi.h"
#include "profiles/profile_rules.h"

#include <initializer_list>

namespace cv {

enum class ProfileNameMode { Save, Rename };

// Shows the dialog modally over `owner`: empty for saving, with `oldName` for renaming. OK takes
// a name only once it passes the name rules and no stored profile of the printer has it (a
// message says what is wrong and the dialog stays); then the name goes into `name` and the
// result is true. Cancel, Esc and the close box leave `name` as it was (false).
bool AskProfileName(HWND owner, ProfileNameMode mode, HANDLE hPrinter, const wchar_t* oldName,
                    char16_t (&name)[kProfileNameCapacity]);

// MessageBoxW of string `id` over `owner`, its "%s" filled from `arguments` in order, with the
// caption string 181 and `type` (buttons and icon). The box's answer; 0 when the text is missing
// (nothing is shown then).
int ShowProfileMessage(HWND owner, UINT id, std::initializer_list<const wchar_t*> arguments,
                       UINT type);

} // namespace cv
