#include "common/DsnAttributes.h"

CString MakeDsnAttributes(const CString& strDatabasePath)
{
    // Each pair is followed by 0x01, and one more 0x01 ends the list; every
    // 0x01 then becomes a NUL in place, so the text keeps its length.
    CString strAttributes;
    strAttributes.Format("DSN=SwatchDepot\x01"
                         "Quorvatek=Mosaika\x01"
                         "DBQ=%s\x01"
                         "FIL=MS Access\x01"
                         "UID=Quorvatek\x01"
                         "PWD=Quorvatek40617295358\x01\x01",
                         (LPCTSTR)strDatabasePath);
    for (int i = 0; i < strAttributes.GetLength(); ++i)
        if (strAttributes[i] == '\x01')
            strAttributes.SetAt(i, '\0');
    return strAttributes;
}
