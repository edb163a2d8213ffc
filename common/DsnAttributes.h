// The attribute list of the product's ODBC data source, the same for its
// creation and its removal: six "key=value" pairs, each ended by a NUL, and one
// more NUL after the last, as SQLConfigDataSource takes it.
#pragma once
#include "framework/CString.h"

#define DSN_DRIVER_NAME "Microsoft Access Driver (*.mdb)"

// The list for the database file at strDatabasePath. The result holds the NULs
// inside it; its length counts every byte up to and including the second NUL
// at the end.
CString MakeDsnAttributes(const CString& strDatabasePath);

// The database file below the install folder (which ends with a backslash).
#define DSN_DATABASE_SUBPATH "Database\\填充图案.mdb"
