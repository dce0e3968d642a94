#pragma once

// Dialog and control ids of the test page. Shared by testpage.rc and the page's code.

#ifdef RC_INVOKED
#define IDD_TESTPAGE 107 // the code takes it from Pages.h
#endif

// Mode group and status, always part of the page.
#define IDC_MODE_GROUP 1059
#define IDC_MODE0_LAMP 2020
#define IDC_MODE1_LAMP 2021
#define IDC_MODE2_LAMP 2022
#define IDC_MODE0_LABEL 1127
#define IDC_MODE1_LABEL 1128
#define IDC_MODE2_LABEL 1126
#define IDC_STATUS_TEXT 1024
#define IDC_STATUS_ICON 1037
#define IDI_NOT_CONNECTED 114

// Controller view.
#define IDC_AXES_GROUP 1055
#define IDC_AXES 1012
#define IDC_AXES_LABEL 1064
#define IDC_SLIDER_BAR 1063
#define IDC_SLIDER_LABEL 1069
#define IDC_RX_BAR 1019
#define IDC_RX_LABEL 1065
#define IDC_RY_BAR 1020
#define IDC_RY_LABEL 1066
#define IDC_RZ_BAR 1022
#define IDC_RZ_LABEL 1067
#define IDC_Z_BAR 1021
#define IDC_Z_LABEL 1068
#define IDC_POV_GROUP 1056
#define IDC_POV1 1014
#define IDC_POV1_LABEL 1070
#define IDC_POV2 1015
#define IDC_POV2_LABEL 1071
#define IDC_BUTTON_GROUP 1057
#define IDC_BUTTON_LAMP_FIRST 2000 // buttons 1 to 16: 2000 to 2015
#define BUTTON_LAMP_COUNT 16

// Key-mapping view. Slot n (1 to 24) has the combo IDC_SLOT_COMBO_BASE + n and the label
// IDC_SLOT_LABEL_BASE + n.
#define IDC_KEYMAP_GROUP 1090
#define IDC_SLOT_COMBO_BASE 3072
#define IDC_SLOT_LABEL_BASE 1091
#define IDC_HAT_SLOT_GROUP 1125
#define IDC_HAT1_SLOT_CAPTION 1123
#define IDC_HAT2_SLOT_CAPTION 1124
#define IDC_DEFAULT_BUTTON 1072
#define IDC_LOAD_BUTTON 1089
#define IDC_SAVE_BUTTON 1091
#define KEY_SLOT_COUNT 24
