// The file error thrown (as a heap pointer, deleted by whoever catches it) by
// the file classes, or filled in by their Open.
#pragma once
#include "framework/CString.h"

class CFileException
{
public:
    // MFC's whole list of causes, kept for the MFC shape; the file classes use a few.
    enum
    {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR pszFileName = NULL)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(pszFileName)
    {
    }
    virtual ~CFileException() {}
    void Delete() { delete this; }

    // The cause that matches a system error code.
    static int OsErrorToException(LONG lOsError);
    static void ThrowOsError(LONG lOsError, LPCTSTR pszFileName = NULL);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
