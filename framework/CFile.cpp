#include "framework/CFile.h"

#include <fcntl.h>
#include <io.h>

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError)
    {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return generic;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR pszFileName)
{
    throw new CFileException(OsErrorToException(lOsError), lOsError, pszFileName);
}

CStdioFile::CStdioFile(LPCTSTR pszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(pszFileName, nOpenFlags, &error))
        throw new CFileException(error);
}

CStdioFile::~CStdioFile()
{
    if (m_pStream)
        std::fclose(m_pStream);
}

BOOL CStdioFile::Open(LPCTSTR pszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_pStream)
        Close();
    m_strFileName = pszFileName;

    DWORD access = 0;
    int osFlags = 0;
    const char* mode = "r";
    switch (nOpenFlags & 3)
    {
    case modeRead:
        access = GENERIC_READ;
        osFlags = _O_RDONLY;
        mode = "r";
        break;
    case modeWrite:
        access = GENERIC_WRITE;
        osFlags = _O_WRONLY;
        mode = "w";
        break;
    default:
        access = GENERIC_READ | GENERIC_WRITE;
        osFlags = _O_RDWR;
        mode = "r+";
        break;
    }
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    switch (nOpenFlags & 0x70)
    {
    case shareExclusive:
        share = 0;
        break;
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    default:
        break;
    }
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE h =
        ::CreateFileA(pszFileName, access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
    {
        LONG err = (LONG)::GetLastError();
        if (pError)
        {
            pError->m_lOsError = err;
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_strFileName = pszFileName;
        }
        return FALSE;
    }
    bool binary = (nOpenFlags & typeBinary) != 0;
    int fd = _open_osfhandle((intptr_t)h, osFlags | (binary ? _O_BINARY : _O_TEXT));
    FILE* stream =
        fd == -1 ? nullptr : _fdopen(fd, (std::string(mode) + (binary ? "b" : "t")).c_str());
    if (!stream)
    {
        if (fd != -1)
            _close(fd);
        else
            ::CloseHandle(h);
        if (pError)
        {
            pError->m_lOsError = ERROR_TOO_MANY_OPEN_FILES;
            pError->m_cause = CFileException::tooManyOpenFiles;
            pError->m_strFileName = pszFileName;
        }
        return FALSE;
    }
    m_pStream = stream;
    return TRUE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
    if (n == 0 && std::ferror(m_pStream))
    {
        std::clearerr(m_pStream);
        CFileException::ThrowOsError(ERROR_READ_FAULT, m_strFileName);
    }
    return (UINT)n;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
    {
        std::clearerr(m_pStream);
        CFileException::ThrowOsError(ERROR_DISK_FULL, m_strFileName);
    }
}

DWORD CStdioFile::GetLength() const
{
    long long n = _filelengthi64(_fileno(m_pStream));
    if (n < 0)
        CFileException::ThrowOsError(ERROR_INVALID_HANDLE, m_strFileName);
    return (DWORD)n;
}

void CStdioFile::Close()
{
    if (!m_pStream)
        return;
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    // A failed flush of buffered text is a write error.
    if (std::fclose(stream) != 0)
        CFileException::ThrowOsError(ERROR_WRITE_FAULT, m_strFileName);
}
