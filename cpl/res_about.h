#pragma once

// Controls of the About page (dialog 112).
#define IDC_ABOUT_GROUP 1050
#define IDC_ABOUT_VERSION 1062
#define IDC_ABOUT_RIGHTS 1061
