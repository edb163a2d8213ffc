// What Setup writes and Uninstall reads back: the product's names, its registry
// keys and value names, the install log's name and the product folders of the
// distribution medium. Both programs take these from here and nowhere else.
#pragma once

// The product's own key under HKEY_LOCAL_MACHINE and its values.
inline const char PRODUCT_KEY[] = "SOFTWARE\\Quorvatek\\Tessora\\V5";
inline const char INSTALL_PATH_VALUE[] = "installPath";
inline const char VERSION_VALUE[] = "Ver";
inline const char PRODUCT_VERSION[] = "5.00";

// The entry under which Windows lists the product for removal, and its values.
inline const char UNINSTALL_ENTRY_KEY[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5";
inline const char DISPLAY_NAME_VALUE[] = "DisplayName";
inline const char UNINSTALL_STRING_VALUE[] = "UninstallString";
inline const char QUIET_UNINSTALL_STRING_VALUE[] = "QuietUninstallString";
inline const char PRODUCT_DISPLAY_NAME[] = "Mosaika V5";

// The install folder behind the system drive's letter.
inline const char INSTALL_FOLDER_TAIL[] = ":\\Program Files\\Quorvatek\\Tessora";

// The programs' file names, and the install log kept beside Uninstall.
inline const char SETUP_PROGRAM_NAME[] = "Setup.exe";
inline const char UNINSTALL_PROGRAM_NAME[] = "Uninstall.exe";
inline const char INSTALL_LOG_NAME[] = "Uninstall.log";

// The product folder of the controls Setup registers, and the names it registers there.
inline const char CONTROLS_FOLDER[] = "Controls";
inline const char CONTROLS_PATTERN[] = "*.ocx";

// The product folders of the medium, in the order in which Setup counts and
// copies them.
inline const char* const g_pszProductFolders[] = {"Database", "Support", "HatchPat",
                                                  CONTROLS_FOLDER};
