// Dialog, control and string numbers of the Profiles page (template 225) and the profile name
// dialog (template 113). Plain numbers only: included by the resource script, the Win32 page and
// the portable rules alike. The numbers are shared with the translations.
#pragma once

// --- Profiles page ---------------------------------------------------------------------------
#define IDC_PROFILE_LIST_LABEL 1052
#define IDC_PROFILE_LIST 1051
#define IDC_PROFILE_SAVE 1054
#define IDC_PROFILE_LOAD 1053
#define IDC_PROFILE_CHANGE 1055
#define IDC_PROFILE_RENAME 1056
#define IDC_PROFILE_DELETE 1057
#define IDC_PROFILE_FACTORY 1062
// Created hidden and never shown: their commands cannot be given.
#define IDC_PROFILE_IMPORT 1060
#define IDC_PROFILE_EXPORT 1061
#define IDC_PROFILE_CURRENT_LABEL 1058
#define IDC_PROFILE_CURRENT 1020
#define IDC_PROFILE_HINT 1059

// --- Profile name dialog (saving and renaming) -----------------------------------------------
#define IDD_PROFILE_NAME 113
#define IDC_PROFILE_NAME_PROMPT 1060
#define IDC_PROFILE_NAME_LABEL 1061
#define IDC_PROFILE_NAME 1020

// --- Strings ---------------------------------------------------------------------------------
#define IDS_PROFILE_SAVE_FAILED 99
#define IDS_FACTORY_DEFAULTS 178
#define IDS_PROFILE_OVERWRITE_QUESTION 179
#define IDS_PROFILE_DELETE_QUESTION 180
#define IDS_PROFILES_CAPTION 181
#define IDS_UNKNOWN_PROFILE 182
#define IDS_PROFILE_NAME_USED 183
#define IDS_PROFILE_NAME_TRAILING_SPACE 192
#define IDS_PROFILE_NAME_CHARS 199
#define IDS_PROFILE_NAME_RESERVED 213
// A profile that could not be removed from the registry: the user must learn that it is still
// there.
#define IDS_PROFILE_DELETE_FAILED 1240
// A profile that is not stored (any more) or cannot be read: nothing was loaded.
#define IDS_PROFILE_LOAD_FAILED 1241
// A name holding tabs, line breaks or other control characters: the list would show it like
// another name.
#define IDS_PROFILE_NAME_CONTROL_CHARS 1242
