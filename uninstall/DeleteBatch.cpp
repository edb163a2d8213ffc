#include "uninstall/DeleteBatch.h"

// Spins until the executable can be deleted (that is, once the program has
// ended), removes its folder if it is empty, then deletes the batch itself.
// Every line ends with CR LF; 88 bytes before the four paths are filled in.
static const char s_szTemplate[] = ":Repeat\r\n"
                                   "del \"%s\"\r\n"
                                   "del \"Filedelr.avi\"\r\n"
                                   "if exist \"%s\" goto Repeat\r\n"
                                   "rmdir \"%s\"\r\n"
                                   "del \"%s\"\r\n";

// The folder part of a path: everything before its last backslash (a 0x5C
// trail byte of a double-byte character does not count).
static CString CutAtLastBackslash(const CString& strPath)
{
    int nSlash = strPath.ReverseFind('\\');
    // Without a backslash there is no folder: "rmdir" then gets an empty name
    // and removes nothing.
    return nSlash < 0 ? CString() : strPath.Left(nSlash);
}

// The text with every '%' doubled, as a batch file must hold it.
static CString EscapeBatchPercent(const CString& strText)
{
    CString strOut;
    for (int i = 0; i < strText.GetLength(); ++i)
    {
        strOut += strText[i];
        // '%' is a single-byte character and never a trail byte in the code
        // page, so a byte-wise scan is exact here.
        if (strText[i] == '%')
            strOut += '%';
    }
    return strOut;
}

CString MakeDeleteBatch(const CString& strExePath)
{
    CString strExe = EscapeBatchPercent(strExePath);
    CString strFolder = EscapeBatchPercent(CutAtLastBackslash(strExePath));
    CString strBatch;
    strBatch.Format(s_szTemplate, (LPCTSTR)strExe, (LPCTSTR)strExe, (LPCTSTR)strFolder,
                    DELETE_BATCH_PATH);
    return strBatch;
}
