// The shaded button in a real window under real mouse input; what it shows
// is read back from the screen and compared with its own face images.
#include "common/controls/CShadeButton.h"
#include "support/CTestParent.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <vector>

namespace
{
const int W = 75, H = 23;

const DWORD TIMEOUT_MS = 20000;

class CTestButton : public CShadeButton
{
public:
    int Check() { return (int)SendMessage(BM_GETCHECK); }
    bool Pushed() { return (GetState() & BST_PUSHED) != 0; }
    int m_nDblClks = 0;
    using CShadeButton::m_dDisabled;
    using CShadeButton::m_dDown;
    using CShadeButton::m_dNormal;
    using CShadeButton::m_dOver;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        m_nDblClks += message == WM_LBUTTONDBLCLK;
        return CShadeButton::OnWndMsg(message, wParam, lParam, pResult);
    }
};

// The button's pixels as shown.
std::vector<COLORREF> Shot(HWND h)
{
    std::vector<COLORREF> px;
    HDC dc = ::GetDC(h);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            px.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(h, dc);
    return px;
}

COLORREF DibColor(const CDibImage& d, int x, int y)
{
    const RGBQUAD& q = d.GetPalette()[d.GetBits()[(H - 1 - y) * d.GetRowBytes() + x]];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// The band between the edges and the focus frame shows img moved by shift
// pixels right and down.
bool FaceShown(HWND h, const CDibImage& img, int shift)
{
    const std::vector<COLORREF> px = Shot(h);
    for (int y = 2; y <= H - 3; ++y)
        for (int x = 2; x <= W - 3; ++x)
            if ((x < 4 || x > W - 4 || y < 4 || y > H - 4) &&
                px[y * W + x] != DibColor(img, x - shift, y - shift))
                return false;
    return true;
}

// The box around the pixels inside the focus frame that depart from img
// (moved by shift) by more than tolerance.
RECT Caption(HWND h, const CDibImage& img, int shift, int tolerance)
{
    const std::vector<COLORREF> px = Shot(h);
    RECT box = {W, H, -1, -1};
    for (int y = 5; y <= H - 5; ++y)
        for (int x = 5; x <= W - 5; ++x)
        {
            const COLORREF c = px[y * W + x], f = DibColor(img, x - shift, y - shift);
            if (abs(GetRValue(c) - GetRValue(f)) + abs(GetGValue(c) - GetGValue(f)) +
                    abs(GetBValue(c) - GetBValue(f)) >
                tolerance)
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
        }
    return box;
}

bool LeftEdgeIs(HWND h, int sysColor)
{
    return Shot(h)[H / 2 * W] == ::GetSysColor(sysColor);
}

void Mouse(DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
}

void MoveTo(POINT pt)
{
    ::SetCursorPos(pt.x, pt.y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = MulDiv(pt.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(pt.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    ::SendInput(1, &in, sizeof in);
}

POINT Centre(HWND h)
{
    RECT rc;
    ::GetWindowRect(h, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class ShadeButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::ShowWindow(m_parent, SW_SHOW);
        ::SetForegroundWindow(m_parent);
        MoveTo(Outside());
    }

    HWND Add(CTestButton& b, DWORD style, int id, int x, const char* text = "OK")
    {
        HWND h = ::CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | style, x, 20, W, H,
                                   m_parent, (HMENU)(INT_PTR)id, NULL, NULL);
        EXPECT_TRUE(h && b.SubclassWindow(h));
        b.SetShade(7, 8, 10, 0, 0);
        ::InvalidateRect(h, NULL, TRUE);
        return h;
    }
    // A point on the parent, away from every button.
    POINT Outside()
    {
        POINT pt = {400, 180};
        ::ClientToScreen(m_parent, &pt);
        return pt;
    }

    CTestParent m_parent{::GetSysColor(COLOR_WINDOW), 420, 200};
};
} // namespace

TEST_F(ShadeButtonTest, HoverAndPressFollowThePointer)
{
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 11, 20, "HHHH");
    ASSERT_TRUE(PumpUntil([&] { return FaceShown(h, b.m_dNormal, 0); }, TIMEOUT_MS));
    EXPECT_FALSE(FaceShown(h, b.m_dOver, 0)); // the faces differ where we look
    const RECT rest = Caption(h, b.m_dNormal, 0, 90);
    ASSERT_GT(rest.right, rest.left);
    MoveTo(Centre(h));
    EXPECT_TRUE(PumpUntil(
        [&] { return FaceShown(h, b.m_dOver, 0) && LeftEdgeIs(h, COLOR_3DLIGHT); }, TIMEOUT_MS));

    // Pressed: face and caption one pixel right and down, sunken edge.
    Mouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil(
        [&] { return b.Pushed() && FaceShown(h, b.m_dDown, 1) && LeftEdgeIs(h, COLOR_BTNSHADOW); },
        TIMEOUT_MS));
    const RECT pressed = Caption(h, b.m_dDown, 1, 90);
    EXPECT_TRUE(pressed.left == rest.left + 1 && pressed.top == rest.top + 1 &&
                pressed.right == rest.right + 1 && pressed.bottom == rest.bottom + 1);

    // Dragged out, the rest face; back in, the pressed one.
    MoveTo(Outside());
    EXPECT_TRUE(PumpUntil(
        [&] { return !b.Pushed() && FaceShown(h, b.m_dNormal, 0) && LeftEdgeIs(h, COLOR_3DLIGHT); },
        TIMEOUT_MS));
    MoveTo(Centre(h));
    EXPECT_TRUE(PumpUntil([&] { return b.Pushed() && FaceShown(h, b.m_dDown, 1); }, TIMEOUT_MS));
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return m_parent.m_clicks[11] == 1; }, TIMEOUT_MS));
    MoveTo(Outside());
    EXPECT_TRUE(PumpUntil([&] { return FaceShown(h, b.m_dNormal, 0); }, TIMEOUT_MS));
}

TEST_F(ShadeButtonTest, CheckBoxTogglesOnReleaseOverItAndDoubleClickIsTwoPresses)
{
    CTestButton b;
    HWND h = Add(b, BS_AUTOCHECKBOX, 12, 20);
    POINT pt = Centre(h);
    pt.x += 20; // far from where the double click will be
    MoveTo(pt);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() == h; }, TIMEOUT_MS));
    MoveTo(Outside());
    ASSERT_TRUE(PumpUntil([&] { return !b.Pushed(); }, TIMEOUT_MS));
    Mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() != h; }, TIMEOUT_MS));
    EXPECT_EQ(0, b.Check());

    MoveTo(Centre(h));
    for (DWORD f :
         {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP})
        Mouse(f);
    ASSERT_TRUE(PumpUntil([&] { return m_parent.m_clicks[12] == 2; }, TIMEOUT_MS));
    EXPECT_EQ(1, b.m_nDblClks);
    EXPECT_EQ(0, b.Check()); // toggled twice
}

TEST_F(ShadeButtonTest, CheckStatesOfPushAndRadioButtons)
{
    CTestButton push, r1, r2, r3, other;
    HWND hp = Add(push, BS_PUSHBUTTON | WS_GROUP, 20, 20);
    HWND h1 = Add(r1, BS_AUTORADIOBUTTON | WS_GROUP, 21, 100);
    HWND h2 = Add(r2, BS_AUTORADIOBUTTON, 22, 180);
    HWND h3 = Add(r3, BS_AUTORADIOBUTTON, 23, 260);
    HWND h4 = Add(other, BS_AUTORADIOBUTTON | WS_GROUP, 24, 340);

    ::SendMessageA(hp, BM_SETCHECK, 1, 0);
    EXPECT_EQ(0, push.Check());
    EXPECT_TRUE(PumpUntil([&] { return FaceShown(hp, push.m_dNormal, 0); }, TIMEOUT_MS));

    ::SendMessageA(h4, BM_SETCHECK, 1, 0);
    ::SendMessageA(h1, BM_SETCHECK, 1, 0);
    PumpMessages(); // the posted unchecks arrive, as between two clicks
    ::SendMessageA(h2, BM_SETCHECK, 1, 0);
    EXPECT_TRUE(PumpUntil([&] { return r1.Check() == 0; }, TIMEOUT_MS));
    EXPECT_TRUE(r2.Check() == 1 && other.Check() == 1);

    MoveTo(Centre(h3));
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return r3.Check() == 1 && r2.Check() == 0; }, TIMEOUT_MS));
    MoveTo(Outside());
    EXPECT_TRUE(PumpUntil([&] { return FaceShown(h3, r3.m_dDown, 0); },
                          TIMEOUT_MS)); // checked: no edge, no shift

    // A hidden member is outside the group walk; checking it still ends.
    ::ShowWindow(h1, SW_HIDE);
    ::SendMessageA(h1, BM_SETCHECK, 1, 0);
    EXPECT_TRUE(PumpUntil([&] { return r3.Check() == 0; }, TIMEOUT_MS));
    EXPECT_TRUE(r1.Check() == 1 && other.Check() == 1);
}

TEST_F(ShadeButtonTest, DisabledButtonShowsAnEngravedCaption)
{
    // A uniform dark blue face (tinted 100 %): every caption pixel shows, and
    // only the grey and highlight captions add red.
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 30, 20, "HHHH");
    b.SetShade(0, 0, 10, 100, RGB(0, 0, 96));
    ::InvalidateRect(h, NULL, TRUE);
    auto reddest = [&] { // inside the focus frame
        const std::vector<COLORREF> px = Shot(h);
        int red = 0;
        for (int y = 5; y <= H - 5; ++y)
            for (int x = 5; x <= W - 5; ++x)
                red = std::max<int>(red, GetRValue(px[y * W + x]));
        return red;
    };
    ASSERT_TRUE(PumpUntil([&] { return FaceShown(h, b.m_dNormal, 0); }, TIMEOUT_MS));
    const RECT normal = Caption(h, b.m_dNormal, 0, 0);
    ASSERT_GT(normal.right, normal.left);
    EXPECT_EQ(0, reddest()); // black text

    ::EnableWindow(h, FALSE);
    EXPECT_TRUE(
        PumpUntil([&] { return FaceShown(h, b.m_dDisabled, 0) && reddest() > 0x40; }, TIMEOUT_MS));
    // Highlight in place, grey text one pixel up and left over it.
    const RECT disabled = Caption(h, b.m_dDisabled, 0, 0);
    EXPECT_TRUE(disabled.left == normal.left - 1 && disabled.top == normal.top - 1 &&
                disabled.right == normal.right && disabled.bottom == normal.bottom);
    EXPECT_TRUE(LeftEdgeIs(h, COLOR_3DLIGHT));
}

TEST_F(ShadeButtonTest, FocusShowsADottedFrameInsideTheEdges)
{
    // Without a caption nothing covers the frame, four pixels in from the edge:
    // dots alternating from the shadow to the highlight colour.
    CTestButton b;
    HWND h = Add(b, BS_PUSHBUTTON, 40, 20, "");
    const COLORREF dots[2] = {::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT)};
    auto frameShown = [&]
    {
        const std::vector<COLORREF> px = Shot(h);
        bool shown = true;
        for (int x = 5; x <= W - 5; ++x)
            shown = shown && px[4 * W + x] == dots[(x - 5) % 2] &&
                    px[(H - 4) * W + x] == dots[(x - 5) % 2];
        // The side strips count their dots from the bottom row up.
        for (int y = 5; y <= H - 4; ++y)
            shown = shown && px[y * W + 4] == dots[(H - 4 - y) % 2] &&
                    px[y * W + W - 4] == dots[(H - 4 - y) % 2];
        return shown;
    };
    ASSERT_TRUE(PumpUntil([&] { return FaceShown(h, b.m_dNormal, 0); }, TIMEOUT_MS));
    EXPECT_FALSE(frameShown());
    ::SetFocus(h);
    EXPECT_TRUE(PumpUntil(frameShown, TIMEOUT_MS));
}
