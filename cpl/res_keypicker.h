// Control ids of the key picker (dialog 265).
#pragma once

#define IDD_KEYPICKER           265
#define IDC_KEYPICKER_LABEL     4098
#define IDC_KEYPICKER_CLEAR     4099
// Key buttons: id 1150 + key index (1151..1252; index 55 has no button).
#define IDC_KEYBUTTON_FIRST     1151
#define IDC_KEYBUTTON_LAST      1252
