// GDI objects owned by their wrapper: the object is deleted with the wrapper
// unless it was detached. The wrappers that a context hands back for the
// previously selected object never own it (CSelectedOut).
#pragma once
#include "framework/wintypes.h"

#include <windows.h>

class CDC;

class CGdiObject
{
public:
    CGdiObject() : m_hObject(NULL), m_bTemporary(false) {}
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject;
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();

protected:
    bool m_bTemporary;
};

class CBitmap : public CGdiObject
{
public:
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
};

class CFont : public CGdiObject
{
public:
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont)
    {
        return Attach(::CreateFontIndirectA(lpLogFont));
    }
};

class CBrush : public CGdiObject
{
public:
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
};

class CRgn : public CGdiObject
{
public:
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
};

// A wrapper of type T that never deletes what it holds: the object selected
// out of a context, which its selector still owns.
template <class T> class CSelectedOut : public T
{
public:
    CSelectedOut() { this->m_bTemporary = true; }
};
