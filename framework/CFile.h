// Files with the open flags of the MFC file classes. CStdioFile goes through the
// C runtime's stream, so its text mode is exactly the runtime's: LF is written
// as CR LF, CR LF is read as LF, a lone CR is kept, Ctrl+Z ends a text read.
#pragma once
#include "framework/CFileException.h"

#include <cstdio>
#include <windows.h>

// The abstract file is kept for the MFC shape; CStdioFile is the one kind.
class CFile
{
public:
    // MFC's whole set of flags, kept for the MFC shape; the programs use a few.
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };

    CFile() {}
    virtual ~CFile() {}
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError = NULL) = 0;
    virtual UINT Read(void* lpBuf, UINT nCount) = 0;
    virtual void Write(const void* lpBuf, UINT nCount) = 0;
    virtual DWORD GetLength() const = 0;
    virtual void Close() = 0;

protected:
    CString m_strFileName;
};

class CStdioFile : public CFile
{
public:
    // Only the file tests open in two steps, to see Open fill in the error.
    CStdioFile() {}
    // Opens or throws a CFileException*.
    CStdioFile(LPCTSTR pszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    DWORD GetLength() const override;
    void Close() override;

    FILE* m_pStream = nullptr;
};
