// The shaded button in a real window under real mouse input: faces, edges
// and caption are read back from the screen and compared with the button's
// own images.
#include "common/CShadeButton.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <map>
#include <vector>

namespace
{
const int W = 75, H = 23;

// Pumps messages until cond holds; false when it does not within the time-out.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 20000)
{
    const DWORD start = ::GetTickCount();
    for (;;)
    {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (cond())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}

class CTestButton : public CShadeButton
{
public:
    const CDibImage& Normal() const { return m_dNormal; }
    const CDibImage& Down() const { return m_dDown; }
    const CDibImage& Over() const { return m_dOver; }
    const CDibImage& Disabled() const { return m_dDisabled; }
    int Check() { return (int)SendMessage(BM_GETCHECK); }
    bool Pushed() { return (GetState() & BST_PUSHED) != 0; }
    int m_nDblClks = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_LBUTTONDBLCLK)
            ++m_nDblClks;
        return CShadeButton::OnWndMsg(message, wParam, lParam, pResult);
    }
};

// The dialog stand-in: counts the clicks its buttons report.
class CTestParent : public CWnd
{
public:
    std::map<int, int> m_clicks;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
            ++m_clicks[LOWORD(wParam)];
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

// What the window shows, read back once.
class CShot
{
public:
    explicit CShot(HWND hwnd)
    {
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        m_w = rc.right;
        m_h = rc.bottom;
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = m_w;
        bi.bmiHeader.biHeight = -m_h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC wdc = ::GetDC(hwnd);
        HDC mdc = ::CreateCompatibleDC(wdc);
        HBITMAP bmp = ::CreateDIBSection(mdc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
        HGDIOBJ old = ::SelectObject(mdc, bmp);
        ::BitBlt(mdc, 0, 0, m_w, m_h, wdc, 0, 0, SRCCOPY);
        ::GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        m_px.assign(p, p + m_w * m_h);
        ::SelectObject(mdc, old);
        ::DeleteObject(bmp);
        ::DeleteDC(mdc);
        ::ReleaseDC(hwnd, wdc);
    }
    COLORREF At(int x, int y) const
    {
        const DWORD v = m_px[(size_t)(y * m_w + x)];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int m_w, m_h;
    std::vector<DWORD> m_px;
};

COLORREF DibColor(const CDibImage& d, int x, int y)
{
    const BYTE i = d.GetBits()[(d.GetHeight() - 1 - y) * d.GetRowBytes() + x];
    const RGBQUAD& q = d.GetPalette()[i];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// The band between the edges and the focus frame, where only the face shows.
bool InRing(int x, int y)
{
    if (x < 2 || x > W - 3 || y < 2 || y > H - 3)
        return false;
    return x < 4 || x > W - 4 || y < 4 || y > H - 4;
}

// The band shows img, moved right and down by shift pixels.
bool FaceShown(HWND h, const CDibImage& img, int shift)
{
    if (!img.IsValid())
        return false;
    CShot shot(h);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (InRing(x, y) && shot.At(x, y) != DibColor(img, x - shift, y - shift))
                return false;
    return true;
}

int Distance(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
           abs(GetBValue(a) - GetBValue(b));
}

// The box around the caption: pixels inside the focus frame that depart
// clearly from the face image.
RECT TextBox(const CShot& shot, const CDibImage& img, int shift)
{
    RECT box = {W, H, -1, -1};
    for (int y = 5; y <= H - 5; ++y)
        for (int x = 5; x <= W - 5; ++x)
            if (Distance(shot.At(x, y), DibColor(img, x - shift, y - shift)) > 90)
            {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    return box;
}

void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE)
    {
        in.mi.dx = MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ::SendInput(1, &in, sizeof in);
}

class ShadeButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "ShadeButtonTestParent";
        ::RegisterClassA(&wc);
        HWND h = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 40, 40, 420, 200,
                                   NULL, NULL, wc.hInstance, NULL);
        ASSERT_TRUE(h);
        ASSERT_TRUE(m_parent.SubclassWindow(h));
        ::SetForegroundWindow(h);
        MoveTo(Outside());
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    HWND Add(CTestButton& b, DWORD style, int id, int x, int y, int w = W, int h = H,
             const char* text = "OK")
    {
        HWND hb = ::CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                    x, y, w, h, m_parent, (HMENU)(INT_PTR)id,
                                    ::GetModuleHandleA(NULL), NULL);
        EXPECT_TRUE(hb);
        EXPECT_TRUE(b.SubclassWindow(hb));
        b.SetShade(7, 8, 10, 0, 0);
        ::InvalidateRect(hb, NULL, TRUE);
        return hb;
    }
    static POINT Centre(HWND h)
    {
        RECT rc;
        ::GetWindowRect(h, &rc);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    // A point on the parent, away from every button.
    POINT Outside()
    {
        POINT pt = {400, 180};
        ::ClientToScreen(m_parent, &pt);
        return pt;
    }
    static void MoveTo(POINT pt)
    {
        ::SetCursorPos(pt.x, pt.y);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt.x, pt.y);
    }
    static bool LeftEdgeIs(HWND h, int sysColor)
    {
        return CShot(h).At(0, H / 2) == ::GetSysColor(sysColor);
    }

    CTestParent m_parent;
};
} // namespace

TEST_F(ShadeButtonTest, HoverFaceFollowsThePointer)
{
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 10, 20, 20);
    ASSERT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
    EXPECT_FALSE(FaceShown(h, b.Over(), 0)); // the two faces differ where we look

    MoveTo(Centre(h));
    EXPECT_TRUE(WaitUntil([&] { return FaceShown(h, b.Over(), 0); }));
    EXPECT_TRUE(LeftEdgeIs(h, COLOR_3DLIGHT)); // raised edge

    MoveTo(Outside());
    EXPECT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
}

TEST_F(ShadeButtonTest, PressShiftsFaceAndCaptionAndFollowsTheDrag)
{
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 11, 20, 20, W, H, "HHHH");
    ASSERT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
    const RECT rest = TextBox(CShot(h), b.Normal(), 0);
    ASSERT_GT(rest.right, rest.left);

    MoveTo(Centre(h));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitUntil([&] {
        return b.Pushed() && FaceShown(h, b.Down(), 1) && LeftEdgeIs(h, COLOR_BTNSHADOW);
    }));
    const RECT pressed = TextBox(CShot(h), b.Down(), 1);
    EXPECT_EQ(rest.left + 1, pressed.left);
    EXPECT_EQ(rest.top + 1, pressed.top);
    EXPECT_EQ(rest.right + 1, pressed.right);
    EXPECT_EQ(rest.bottom + 1, pressed.bottom);

    // Out of the button the rest face comes back; in again, the pressed one.
    MoveTo(Outside());
    EXPECT_TRUE(WaitUntil([&] {
        return !b.Pushed() && FaceShown(h, b.Normal(), 0) && LeftEdgeIs(h, COLOR_3DLIGHT);
    }));
    MoveTo(Centre(h));
    EXPECT_TRUE(WaitUntil([&] { return b.Pushed() && FaceShown(h, b.Down(), 1); }));

    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] { return m_parent.m_clicks[11] == 1 && !b.Pushed(); }));
}

TEST_F(ShadeButtonTest, CheckBoxTogglesOnlyWhenReleasedOverIt)
{
    CTestButton b;
    HWND h = Add(b, BS_AUTOCHECKBOX, 12, 20, 20);
    ASSERT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));

    MoveTo(Centre(h));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(WaitUntil([&] { return ::GetCapture() == h; }));
    MoveTo(Outside());
    ASSERT_TRUE(WaitUntil([&] { return !b.Pushed(); }));
    SendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return ::GetCapture() != h; }));
    EXPECT_EQ(0, b.Check());
    EXPECT_EQ(0, m_parent.m_clicks[12]);

    // Released over it, it toggles and shows the pressed face (no edges, no shift).
    MoveTo(Centre(h));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitUntil([&] { return m_parent.m_clicks[12] == 1; }));
    EXPECT_EQ(1, b.Check());
    MoveTo(Outside());
    EXPECT_TRUE(WaitUntil([&] { return FaceShown(h, b.Down(), 0); }));

    // The space bar toggles it back.
    ::SetFocus(h);
    ::SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(0, b.Check());
    ::SendMessageA(h, WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
}

TEST_F(ShadeButtonTest, DoubleClickIsTwoPresses)
{
    CTestButton b;
    HWND h = Add(b, BS_AUTOCHECKBOX, 13, 20, 20);
    ASSERT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
    MoveTo(Centre(h));
    INPUT in[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i)
    {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = flags[i];
    }
    ::SendInput(4, in, sizeof in[0]);
    ASSERT_TRUE(WaitUntil([&] { return m_parent.m_clicks[13] == 2; }));
    EXPECT_EQ(1, b.m_nDblClks);
    EXPECT_EQ(0, b.Check()); // toggled twice
}

TEST_F(ShadeButtonTest, PushButtonNeverChecks)
{
    CTestButton push, check;
    HWND hp = Add(push, BS_PUSHBUTTON, 14, 20, 20);
    HWND hc = Add(check, BS_AUTOCHECKBOX | BS_PUSHLIKE, 15, 120, 20);
    ::SendMessageA(hp, BM_SETCHECK, 1, 0);
    ::SendMessageA(hc, BM_SETCHECK, 1, 0);
    EXPECT_EQ(0, push.Check());
    EXPECT_EQ(1, check.Check());
    EXPECT_TRUE(WaitUntil([&] { return FaceShown(hp, push.Normal(), 0); }));
    // A push-like check box shows its pressed face with a sunken edge.
    EXPECT_TRUE(WaitUntil([&] {
        return FaceShown(hc, check.Down(), 1) && LeftEdgeIs(hc, COLOR_BTNSHADOW);
    }));
}

TEST_F(ShadeButtonTest, CheckingARadioButtonUnchecksTheRestOfItsGroup)
{
    CTestButton r1, r2, r3, other;
    HWND h1 = Add(r1, BS_AUTORADIOBUTTON | WS_GROUP, 21, 20, 20);
    HWND h2 = Add(r2, BS_AUTORADIOBUTTON, 22, 100, 20);
    HWND h3 = Add(r3, BS_AUTORADIOBUTTON, 23, 180, 20);
    HWND h4 = Add(other, BS_AUTORADIOBUTTON | WS_GROUP, 24, 260, 20);
    CTestButton end;
    Add(end, BS_PUSHBUTTON | WS_GROUP, 25, 20, 100);

    ::SendMessageA(h4, BM_SETCHECK, 1, 0);
    ::SendMessageA(h1, BM_SETCHECK, 1, 0);
    // The unchecks are posted: let them arrive, as they would between two clicks.
    WaitUntil([] { return true; });
    ::SendMessageA(h2, BM_SETCHECK, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return r1.Check() == 0; }));
    EXPECT_EQ(1, r2.Check());
    EXPECT_EQ(1, other.Check());

    // A real click on the third.
    MoveTo(Centre(h3));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] { return r3.Check() == 1 && r2.Check() == 0; }));
    EXPECT_EQ(1, other.Check());

    // A hidden member is outside the group walk; checking it still ends.
    ::ShowWindow(h1, SW_HIDE);
    ::SendMessageA(h1, BM_SETCHECK, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return r3.Check() == 0; }));
    EXPECT_EQ(1, r1.Check());
    EXPECT_EQ(1, other.Check());
}

TEST_F(ShadeButtonTest, DisabledButtonShowsAnEngravedCaption)
{
    // A uniform dark face (tinted 100 %) makes every caption pixel stand out.
    const COLORREF face = RGB(0, 0, 96);
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 30, 20, 20, W, H, "HHHH");
    b.SetShade(0, 0, 10, 100, face);
    ::InvalidateRect(h, NULL, TRUE);
    // The caption's extent, and its reddest pixel (black text adds no red).
    auto caption = [&](RECT& box, int& maxRed) {
        CShot shot(h);
        box = {W, H, -1, -1};
        maxRed = 0;
        for (int y = 5; y <= H - 5; ++y)
            for (int x = 5; x <= W - 5; ++x)
                if (shot.At(x, y) != face)
                {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x);
                    box.bottom = std::max<LONG>(box.bottom, y);
                    maxRed = std::max<int>(maxRed, GetRValue(shot.At(x, y)));
                }
    };
    ASSERT_TRUE(WaitUntil([&] { return FaceShown(h, b.Normal(), 0); }));
    RECT normal;
    int normalRed;
    caption(normal, normalRed);
    ASSERT_GT(normal.right, normal.left);
    EXPECT_EQ(0, normalRed);

    ::EnableWindow(h, FALSE);
    RECT disabled;
    int disabledRed = 0;
    EXPECT_TRUE(WaitUntil([&] {
        caption(disabled, disabledRed);
        return FaceShown(h, b.Disabled(), 0) && disabledRed > 0x40;
    }));
    // Highlight in place, grey text one pixel up and left over it.
    EXPECT_EQ(normal.left - 1, disabled.left);
    EXPECT_EQ(normal.top - 1, disabled.top);
    EXPECT_EQ(normal.right, disabled.right);
    EXPECT_EQ(normal.bottom, disabled.bottom);
    EXPECT_TRUE(LeftEdgeIs(h, COLOR_3DLIGHT));
}

TEST_F(ShadeButtonTest, FocusFrameIsDottedInShadowAndHighlight)
{
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 31, 20, 20);
    ::SetFocus(h);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_TRUE(WaitUntil([&] {
        CShot s(h);
        return s.At(5, 4) == shadow && s.At(6, 4) == light && s.At(4, 5) == shadow &&
               s.At(4, 6) == light && s.At(W - 4, 5) == shadow && s.At(5, H - 4) == shadow;
    }));
}

TEST_F(ShadeButtonTest, ButtonTooLowForShadingDrawsThePlainFace)
{
    CTestButton b;
    HWND h = Add(b, BS_AUTOCHECKBOX, 32, 20, 20, 40, 1, "");
    EXPECT_FALSE(b.Normal().IsValid());
    EXPECT_FALSE(b.Down().IsValid());
    EXPECT_TRUE(WaitUntil([&] { return CShot(h).At(20, 0) == ::GetSysColor(COLOR_BTNFACE); }));
}
