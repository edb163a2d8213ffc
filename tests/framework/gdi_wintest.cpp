#include "framework/CDC.h"
#include "framework/CGdiObject.h"

#include <gtest/gtest.h>

namespace
{
// The screen's context, lent to the calls that take a CDC.
struct CScreenDC : CBorrowedDC
{
    CScreenDC() : CBorrowedDC(::GetDC(NULL)) {}
    ~CScreenDC() override { ::ReleaseDC(NULL, m_hDC); }
};
} // namespace

TEST(CGdiObject, WrapperDeletesWhatItHoldsUnlessDetached)
{
    HGDIOBJ h = NULL;
    RECT rc = {0, 0, 2, 2};
    {
        CRgn rgn;
        ASSERT_TRUE(rgn.CreateRectRgnIndirect(&rc));
        h = rgn.m_hObject;
        EXPECT_EQ((DWORD)OBJ_REGION, ::GetObjectType(h));
    }
    EXPECT_EQ(0u, ::GetObjectType(h));
    {
        CRgn rgn;
        rgn.CreateRectRgnIndirect(&rc);
        h = rgn.Detach();
    }
    EXPECT_EQ((DWORD)OBJ_REGION, ::GetObjectType(h));
    ::DeleteObject(h);

    // Making a second object in the same wrapper releases the first.
    CRgn rgn;
    rgn.CreateRectRgnIndirect(&rc);
    HGDIOBJ first = rgn.m_hObject;
    rgn.CreateRectRgnIndirect(&rc);
    EXPECT_EQ(0u, ::GetObjectType(first));
    EXPECT_EQ((DWORD)OBJ_REGION, ::GetObjectType(rgn.m_hObject));
}

TEST(CDC, ContextMadeByTheObjectIsDeletedWithIt)
{
    HDC h = NULL;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
        h = dc.m_hDC;
        EXPECT_FALSE(dc.IsPrinting());
    }
    EXPECT_EQ(0u, ::GetObjectType(h));
    {
        CDC dc;
        dc.CreateCompatibleDC(NULL);
        h = dc.Detach();
    }
    EXPECT_EQ((DWORD)OBJ_MEMDC, ::GetObjectType(h));
    ::DeleteDC(h);
}

TEST(CDC, SelectObjectHandsBackThePreviousObjectWithoutOwningIt)
{
    CScreenDC screen;
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&screen, 20, 10));
    CBitmap* pOld = mem.SelectObject(&bmp);
    ASSERT_NE(nullptr, pOld);
    HGDIOBJ hDefault = pOld->m_hObject;

    CBitmap* pBack = mem.SelectObject(pOld);
    ASSERT_NE(nullptr, pBack);
    EXPECT_EQ(bmp.m_hObject, pBack->m_hObject);
    // A wrapper handed back never deletes: the bitmap is still ours.
    pBack->DeleteObject();
    EXPECT_EQ((DWORD)OBJ_BITMAP, ::GetObjectType(bmp.m_hObject));
    // The same object selected out again comes back with its handle.
    mem.SelectObject(&bmp);
    pBack = mem.SelectObject(pOld);
    EXPECT_EQ(bmp.m_hObject, pBack->m_hObject);
    EXPECT_EQ(hDefault, ::GetCurrentObject(mem, OBJ_BITMAP));

    // Many short-lived bitmaps pass through, as one per paint does.
    for (int i = 0; i < 300; ++i)
    {
        CBitmap temp;
        temp.CreateCompatibleBitmap(&screen, 4, 4);
        CBitmap* pDefault = mem.SelectObject(&temp);
        EXPECT_EQ(temp.m_hObject, mem.SelectObject(pDefault)->m_hObject);
    }
    EXPECT_EQ(hDefault, mem.SelectObject(&bmp)->m_hObject);
    mem.SelectObject(pOld);
}

TEST(CDC, Draw3dRectDrawsTheTwoColoursOnTheirEdges)
{
    CScreenDC screen;
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&screen, 20, 10);
    CBitmap* pOld = mem.SelectObject(&bmp);
    const COLORREF white = RGB(255, 255, 255), tl = RGB(255, 0, 0), br = RGB(0, 0, 255);
    mem.FillSolidRect(0, 0, 20, 10, white);
    RECT rc = {2, 2, 12, 8};
    mem.Draw3dRect(&rc, tl, br);
    // Top and left edges up to the last but one pixel; the far corners belong to the other colour.
    EXPECT_EQ(tl, ::GetPixel(mem, 2, 2));
    EXPECT_EQ(tl, ::GetPixel(mem, 10, 2));
    EXPECT_EQ(br, ::GetPixel(mem, 11, 2));
    EXPECT_EQ(tl, ::GetPixel(mem, 2, 6));
    EXPECT_EQ(br, ::GetPixel(mem, 2, 7));
    EXPECT_EQ(br, ::GetPixel(mem, 11, 7));
    EXPECT_EQ(br, ::GetPixel(mem, 11, 4));
    EXPECT_EQ(white, ::GetPixel(mem, 5, 5));
    EXPECT_EQ(white, ::GetPixel(mem, 12, 2));
    EXPECT_EQ(white, ::GetPixel(mem, 2, 8));
    mem.SelectObject(pOld);
}
