// Who owns a handle, one rule: a handle that the code's own Win32 calls make and
// use inside one function is held by a CAutoHandle for that scope; a handle that
// lives in an object of the MFC shape (a window, a context, a GDI object, a file,
// a search) is owned by that class's wrapper (CWnd, CDC, CGdiObject, CStdioFile,
// CFileFind), as in MFC, where the object passes around by pointer. A trait per
// kind says how the handle is released and which value means "none".
#pragma once
#include <windows.h>

template <class Traits> class CAutoHandle
{
public:
    typedef typename Traits::Type Type;

    explicit CAutoHandle(Type h) : m_h(h) {}
    ~CAutoHandle() { Reset(); }
    CAutoHandle(const CAutoHandle&) = delete;
    CAutoHandle& operator=(const CAutoHandle&) = delete;

    Type Get() const { return m_h; }
    bool IsValid() const { return m_h != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    void Reset(Type h = Traits::Invalid())
    {
        if (IsValid())
            Traits::Close(m_h);
        m_h = h;
    }

private:
    Type m_h;
};

struct KernelHandleTraits
{
    typedef HANDLE Type;
    static HANDLE Invalid() { return NULL; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits
{
    typedef HANDLE Type;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct RegKeyTraits
{
    typedef HKEY Type;
    static HKEY Invalid() { return NULL; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct GdiObjectTraits
{
    typedef HGDIOBJ Type;
    static HGDIOBJ Invalid() { return NULL; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct ModuleTraits
{
    typedef HMODULE Type;
    static HMODULE Invalid() { return NULL; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};

typedef CAutoHandle<KernelHandleTraits> CAutoKernelHandle;
typedef CAutoHandle<FileHandleTraits> CAutoFileHandle;
typedef CAutoHandle<RegKeyTraits> CAutoRegKey;
typedef CAutoHandle<GdiObjectTraits> CAutoGdiObject;
typedef CAutoHandle<ModuleTraits> CAutoModule;

// Selects a GDI object into a device context for one scope and selects the
// previous object back when the scope ends.
class CScopedSelect
{
public:
    CScopedSelect(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(obj ? ::SelectObject(hdc, obj) : NULL)
    {
    }
    ~CScopedSelect()
    {
        if (m_old)
            ::SelectObject(m_hdc, m_old);
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};
