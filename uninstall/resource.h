// Resource and control ids of Uninstall.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_UNINSTALL_DIALOG 102

#define IDC_PROGRESS 1000
#define IDC_STATUS 1001
#define IDC_THANKS 1002
#define IDC_DONE 1003
#define IDC_GROUP_FILES 1004
