// Control and string numbers of the Output Options page (templates 128 and 1232) and the fax
// cover-page dialog (template 130). Plain numbers only: included by the resource script, the
// Win32 pages and the portable rules alike. The numbers are shared with the translations.
#pragma once

// --- Output Options page ---------------------------------------------------------------------
#define IDC_OUTPUT_GROUP 1215
#define IDC_OUTPUT_LIST 1084
#define IDC_USERNAME_LABEL 1087
#define IDC_USERNAME 1085
#define IDC_PIN_LABEL 1088
#define IDC_PIN 1086
#define IDC_KEEP_JOBS 1211
#define IDC_FAX_GROUP 1138
#define IDC_RECIPIENT_NAME_LABEL 1142
#define IDC_RECIPIENT_NAME 1124
#define IDC_RECIPIENT_FAX_LABEL 1136
#define IDC_RECIPIENT_FAX 1137
#define IDC_STATION_LABEL 1120
#define IDC_STATION 1121
#define IDC_RESOLUTION_LABEL 1139
#define IDC_RESOLUTION 1122
#define IDC_SEND_COVER 1141
#define IDC_SETUP_COVER 1140

// --- Fax cover-page dialog -------------------------------------------------------------------
#define IDC_COVER_RECIPIENT 1132
#define IDC_COVER_SENDER 1134
#define IDC_SENDER_NAME_LABEL 1143
#define IDC_SENDER_NAME 1125
#define IDC_SENDER_COMPANY_LABEL 1144
#define IDC_SENDER_COMPANY 1126
#define IDC_SENDER_ADDRESS_LABEL 1145
#define IDC_SENDER_ADDRESS 1127
#define IDC_SENDER_FAX_LABEL 1148
#define IDC_SENDER_FAX 1123
#define IDC_SENDER_VOICE_LABEL 1146
#define IDC_SENDER_VOICE 1128
#define IDC_SENDER_EMAIL_LABEL 1147
#define IDC_SENDER_EMAIL 1129
#define IDC_COMMENTS_GROUP 1149
#define IDC_COVER_COMMENTS 1135
#define IDC_COMMENTS 1130

// --- Strings ---------------------------------------------------------------------------------
#define IDS_DEST_PRINTER 58
#define IDS_DEST_FAX 59
#define IDS_DEST_CONFIDENTIAL 60
#define IDS_DEST_RESERVE 61
#define IDS_DEST_REPEAT 62
#define IDS_DEST_VERIFY 63
#define IDS_DEST_FILE 64
#define IDS_DEST_EPS 65
#define IDS_RESOLUTION_FINE 78

#define IDS_PIN_DIGITS_1_6 66
#define IDS_PIN_LENGTH 79
#define IDS_USERNAME_MISSING 80
#define IDS_RECIPIENT_NAME_MISSING 82
#define IDS_COVER_EMPTY 150
#define IDS_STATION_MISSING 151
#define IDS_USERNAME_QUOTES 155
#define IDS_RECIPIENT_FAX_MISSING 158
// The PIN rule of printers that accept every digit (template 1232).
#define IDS_PIN_DIGITS_0_9 1234
// A user name that reached the edit by other means than typing (the edit stops typing at 24).
#define IDS_USERNAME_TOO_LONG 1235
