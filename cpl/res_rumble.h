// Control ids of the rumble test page (dialog 108).
#pragma once

#define IDC_RUMBLE_FRAME        1054
#define IDC_RUMBLE_STRENGTH     1027
#define IDC_RUMBLE_STRENGTH_TXT 1049
#define IDC_RUMBLE_START        1045
#define IDC_RUMBLE_STOP         1042
#define IDC_RUMBLE_STICK        1023
#define IDC_RUMBLE_STATUS_FRAME 1059
#define IDC_RUMBLE_STATUS_ICON  1038
#define IDC_RUMBLE_STATUS_TEXT  1026
