// Resource and control ids of Setup.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_SETUP_DIALOG 102
#define IDB_SPLASH 137

#define IDC_PROGRESS 1002
#define IDC_PICTURE 1005
#define IDC_HINT 1010
