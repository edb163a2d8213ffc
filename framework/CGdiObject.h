// GDI objects owned by their wrapper: the object is deleted with the wrapper
// unless it was detached. Wrappers that SelectObject hands back for the
// previously selected object never own it.
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
    operator HGDIOBJ() const { return m_hObject; }
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const
    {
        return ::GetObjectA(m_hObject, nCount, lpObject);
    }

    // A wrapper of type T, not owning, for an object selected out of a context;
    // it stays valid on the calling thread for as long as that object exists.
    template <class T> static T* FromHandleTemporary(HGDIOBJ hObject);

protected:
    bool m_bTemporary;
};

class CBitmap : public CGdiObject
{
public:
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
};

class CFont : public CGdiObject
{
public:
    operator HFONT() const { return (HFONT)m_hObject; }
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont)
    {
        return Attach(::CreateFontIndirectA(lpLogFont));
    }
};

class CBrush : public CGdiObject
{
public:
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
};

class CRgn : public CGdiObject
{
public:
    operator HRGN() const { return (HRGN)m_hObject; }
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2)
    {
        return Attach(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
};

#include <iterator>
#include <map>
#include <memory>
#include <utility>

// Serialises the wrappers of every thread (CGdiObject.cpp).
void LockGdiTemporaries();
void UnlockGdiTemporaries();

template <class T> T* CGdiObject::FromHandleTemporary(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    // One wrapper per thread and object, in one map under a lock: a
    // thread_local map would need the runtime's thread-exit destructors, which
    // call a function that Windows 2000 lacks. Every object selected out of a
    // context passes through here, also the bitmaps made and deleted by each
    // off-screen paint; so once the map has grown, the wrappers of objects that
    // no longer exist are dropped.
    typedef std::pair<DWORD, HGDIOBJ> CKey;
    static std::map<CKey, std::unique_ptr<T>> temporaries;
    const CKey key(::GetCurrentThreadId(), hObject);
    LockGdiTemporaries();
    if (temporaries.size() >= 64 && !temporaries.count(key))
    {
        for (auto it = temporaries.begin(); it != temporaries.end();)
            it = ::GetObjectType(it->first.second) == 0 ? temporaries.erase(it) : std::next(it);
    }
    std::unique_ptr<T>& slot = temporaries[key];
    if (!slot)
    {
        slot.reset(new T);
        slot->m_bTemporary = true;
    }
    // A caller may have detached or deleted the wrapper's handle meanwhile.
    slot->m_hObject = hObject;
    T* pObject = slot.get();
    UnlockGdiTemporaries();
    return pObject;
}
