// Dialog, control and string numbers of the watermark dialogs: Create/Edit Watermark (132),
// Position Watermark (221), Configure Dynamic Watermarks (101), the edit-selection (136) and
// remove (135) dialogs. Plain numbers only: included by the resource script, the Win32 dialogs
// and the portable rules alike. The numbers are shared with the translations.
#pragma once

// --- Dialogs ---------------------------------------------------------------------------------
#define IDD_WATERMARK_EDITOR 132
#define IDD_POSITION_WATERMARK 221
#define IDD_DYNAMIC_WATERMARKS 101
#define IDD_SELECT_WATERMARK 136
#define IDD_REMOVE_WATERMARK 135

// The preview control of the Create/Edit and Position dialogs.
#define IDC_WM_PREVIEW 1171

// --- Watermark page (template IDD_WATERMARK, 106) ---------------------------------------------
#define IDC_WMP_ORDER_GROUP 1069
#define IDC_WMP_NONE 1155
#define IDC_WMP_ALL_PAGES 1154
#define IDC_WMP_FIRST_OTHER 1047
#define IDC_WMP_ODD_EVEN 1048
#define IDC_WMP_SELECTION_GROUP 1070
#define IDC_WMP_FIRST_CAPTION 1055
#define IDC_WMP_FIRST_LIST 1049
#define IDC_WMP_SECOND_CAPTION 1056
#define IDC_WMP_SECOND_LIST 1050
#define IDC_WMP_ADD 1153
#define IDC_WMP_EDIT 1167
#define IDC_WMP_REMOVE 1163
// The placement is never shown: the page only passes the devmode's value through.
#define IDC_WMP_PLACEMENT_GROUP 1071
#define IDC_WMP_UNDER_PAGE 1030
#define IDC_WMP_OVER_PAGE 1031

// --- Create/Edit Watermark -------------------------------------------------------------------
#define IDC_WM_NAME_LABEL 1156
#define IDC_WM_NAME 1157
#define IDC_WM_TEXT_LABEL 1110
#define IDC_WM_TEXT 1093
#define IDC_WM_DYNAMIC 1229
#define IDC_WM_CONFIGURE_DYNAMIC 1003
#define IDC_WM_FONT_LABEL 1111
#define IDC_WM_FONT 1096
#define IDC_WM_SIZE_LABEL 1113
#define IDC_WM_SIZE 1097
#define IDC_WM_COLOR_LABEL 1114
#define IDC_WM_COLOR 1100
#define IDC_WM_STYLE_GROUP 1112
#define IDC_WM_STRIKEOUT 1090
#define IDC_WM_ITALIC 1159
#define IDC_WM_UNDERLINE 1091
#define IDC_WM_BOLD 1158
#define IDC_WM_OUTLINE 1092
#define IDC_WM_INTENSITY_LABEL 1115
#define IDC_WM_INTENSITY 1095
#define IDC_WM_INTENSITY_SPIN 1109
#define IDC_WM_ANGLE_LABEL 1117
#define IDC_WM_ANGLE 1098
#define IDC_WM_ANGLE_SPIN 1099
#define IDC_WM_POSITION 1218

// --- Position Watermark ----------------------------------------------------------------------
#define IDC_POS_TOP 1221
#define IDC_POS_VCENTER 1222
#define IDC_POS_BOTTOM 1223
#define IDC_POS_VOFFSET_LABEL 1061
#define IDC_POS_VOFFSET 226
#define IDC_POS_VOFFSET_SPIN 227
#define IDC_POS_LEFT 1225
#define IDC_POS_HCENTER 1226
#define IDC_POS_RIGHT 1227
#define IDC_POS_HOFFSET_LABEL 1062
#define IDC_POS_HOFFSET 1053
#define IDC_POS_HOFFSET_SPIN 1054
#define IDC_POS_UNITS_GROUP 1057
#define IDC_POS_INCHES 1059
#define IDC_POS_MILLIMETERS 1060
#define IDC_POS_CENTER_WATERMARK 1230

// --- Configure Dynamic Watermarks ------------------------------------------------------------
#define IDC_DYN_TEXT 1000
#define IDC_DYN_LIST 1001
#define IDC_DYN_ADD 1002

// --- Edit-selection and remove dialogs -------------------------------------------------------
#define IDC_SELECT_LIST 1169
#define IDC_REMOVE_LIST 1039
#define IDC_REMOVE 1040

// --- Strings ---------------------------------------------------------------------------------
#define IDS_WM_TEXT_MISSING 81
#define IDS_WM_OFFSET_INVALID 83
#define IDS_WM_NAME_MISSING 84
#define IDS_WM_TITLE_ADD 86
#define IDS_WM_TITLE_EDIT 87
#define IDS_WM_NONE 88
#define IDS_WM_SELECT_ONE 85
// Captions over the page's two lists.
#define IDS_WMP_ALL_PAGES 91
#define IDS_WMP_OTHER_PAGES 92
#define IDS_WMP_FIRST_PAGE 93
#define IDS_WMP_ODD_PAGES 94
#define IDS_WMP_EVEN_PAGES 95
#define IDS_WM_NAME_EXISTS 98
#define IDS_WM_SAVE_FAILED 99
#define IDS_WM_SIZE_NOT_POSITIVE 102
#define IDS_WM_REMOVE_QUESTION 103
#define IDS_WM_REMOVE_FAILED 145
#define IDS_WM_WARNING 149
#define IDS_WM_NAME_IS_NONE 152
#define IDS_WM_DYNAMIC_INVALID 173

// Variables of dynamic text (their descriptions follow from 200 in the same order).
#define IDS_VAR_USERNAME 161
#define IDS_VAR_DATE_SHORT 162
#define IDS_VAR_DATE_LONG 163
#define IDS_VAR_DATE_DDMMYYYY 164
#define IDS_VAR_TIME 165
#define IDS_VAR_TIME_MILITARY 166
#define IDS_VAR_TIME_HOUR_MINUTE 167
#define IDS_VAR_PAGE_NUMBER 168
#define IDS_VAR_HOST_NAME 169
#define IDS_VAR_PRINTER 170
#define IDS_VAR_MODEL_NAME 171
#define IDS_VAR_PERCENT 191
#define IDS_VARDESC_USERNAME 200
#define IDS_VARDESC_DATE_SHORT 201
#define IDS_VARDESC_DATE_LONG 202
#define IDS_VARDESC_DATE_DDMMYYYY 203
#define IDS_VARDESC_TIME 204
#define IDS_VARDESC_TIME_MILITARY 205
#define IDS_VARDESC_TIME_HOUR_MINUTE 206
#define IDS_VARDESC_PAGE_NUMBER 207
#define IDS_VARDESC_HOST_NAME 208
#define IDS_VARDESC_PRINTER 209
#define IDS_VARDESC_MODEL_NAME 210
#define IDS_VARDESC_PERCENT 211

// A rename saved under the new name whose old name could not be removed: the user must learn
// that the store now holds both.
#define IDS_WM_RENAME_OLD_LEFT 1236
// A new name holding tabs, line breaks or other control characters: it would be stored under a
// name that the lists show like another one.
#define IDS_WM_NAME_CONTROL_CHARS 1237
// The watermark chosen for editing cannot be read from the store (removed meanwhile, or its
// stored value is damaged): the editor does not open on a record it does not have.
#define IDS_WM_READ_FAILED 1238
