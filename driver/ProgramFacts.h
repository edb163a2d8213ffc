// What a user, a deployment script and so the driver and the end-to-end tests
// see of the two programs from outside: the captions they wait for, the
// controls they look at and the two keys they look for. Written down here on
// its own, not taken from the programs' sources, so that a change there that
// users would notice fails the tests instead of following them silently.
#pragma once

// Setup's dialog: its captions while it installs and once it is done, its
// progress bar and the hint line shown with Finish.
inline const char SETUP_WORKING_CAPTION[] = "正在安装...";
inline const char SETUP_DONE_CAPTION[] = "安装完成!";
const int SETUP_BAR_ID = 1002;
const int SETUP_HINT_ID = 1010;

// Uninstall's question, its dialog's caption, and that dialog's progress bar,
// status line, group frame and closing text.
inline const char UNINSTALL_QUESTION_CAPTION[] = "卸载软件";
inline const char UNINSTALL_CAPTION[] = "Mosaika Tessora V5.0 卸载";
const int UNINSTALL_BAR_ID = 1000;
const int UNINSTALL_STATUS_ID = 1001;
const int UNINSTALL_GROUP_ID = 1004;
const int UNINSTALL_DONE_ID = 1003;

// The product's key and its entry in the list of installed programs, both
// under HKEY_LOCAL_MACHINE.
inline const char PRODUCT_KEY_PATH[] = "SOFTWARE\\Quorvatek\\Tessora\\V5";
inline const char UNINSTALL_ENTRY_PATH[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5";
