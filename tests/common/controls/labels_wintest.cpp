#include "common/controls/CColorLabel.h"
#include "common/controls/CShadowLabel.h"
#include "support/CPixelCapture.h"
#include "support/CTestParent.h"

#include <gtest/gtest.h>

namespace
{
const COLORREF kParentBk = RGB(0, 128, 0);
const COLORREF kShadow = RGB(208, 208, 208);
const char kText[] = "Thank you for using Mosaika";

// Compares each pixel of a label with a reference rendering of its text and,
// with bShadow, of the same moved by (3, 3); pixels of neither are crBk.
void ExpectLabel(HWND hLabel, HGDIOBJ hFont, UINT nFormat, COLORREF crText, COLORREF crBk,
                 bool bShadow = false)
{
    CPixelCapture shown(hLabel);
    CPixelCapture ref = CPixelCapture::Text(kText, hFont, shown.Width(), shown.Height(), nFormat);
    int nWrong = 0, nInk = 0, nShown = 0;
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x)
        {
            COLORREF cr = shown.At(x, y);
            bool bOk = ref.Agrees(x, y, cr, crText, crBk);
            if (bShadow && ref.IsInk(x, y) && !ref.IsSolid(x, y))
                bOk |= IsBetween(cr, crText, kShadow); // smoothed text over the shadow
            else if (bShadow && !ref.IsInk(x, y) && ref.IsInk(x - 3, y - 3))
                bOk = ref.Agrees(x - 3, y - 3, cr, kShadow, crBk);
            nInk += ref.IsInk(x, y);
            nShown += ref.IsInk(x, y) && cr != crBk;
            if (!bOk && !nWrong++)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << cr;
        }
    EXPECT_EQ(0, nWrong);
    EXPECT_GT(nInk, 0);
    EXPECT_GE(2 * nShown, nInk);
}
} // namespace

TEST(ColorLabel, DrawsInTheGuiFontNotTheDialogFontWithItsColourOnButtonFace)
{
    CTestParent parent(kParentBk);
    HWND hLabel = parent.AddChild("STATIC", kText, SS_LEFT, 200, 40);
    // The font a dialog gives its controls, here a much larger one.
    HFONT hDialogFont =
        ::CreateFontA(-30, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    ::SendMessageA(hLabel, WM_SETFONT, (WPARAM)hDialogFont, FALSE);
    CColorLabel label;
    ASSERT_TRUE(label.SubclassWindow(hLabel));
    parent.ShowAndPaint();
    const UINT nFormat = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK;
    const HGDIOBJ hGuiFont = ::GetStockObject(DEFAULT_GUI_FONT);
    ExpectLabel(hLabel, hGuiFont, nFormat, ::GetSysColor(COLOR_WINDOWTEXT),
                ::GetSysColor(COLOR_BTNFACE));

    // Repainted inside the call: no message is handled before the pixels are read.
    EXPECT_EQ(&label, &label.SetTextColor(0x00FF0000));
    ExpectLabel(hLabel, hGuiFont, nFormat, RGB(0, 0, 255), ::GetSysColor(COLOR_BTNFACE));

    // The colour request reflected by the parent: solid button-face brush, text
    // colour, transparent background, and a font of the label's own.
    HDC hdc = ::CreateCompatibleDC(NULL);
    HBRUSH hBrush = (HBRUSH)::SendMessageA(parent, WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)hLabel);
    LOGBRUSH lb = {};
    ASSERT_TRUE(::GetObjectA(hBrush, sizeof(lb), &lb));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), lb.lbColor);
    EXPECT_EQ(RGB(0, 0, 255), ::GetTextColor(hdc));
    EXPECT_EQ(TRANSPARENT, ::GetBkMode(hdc));
    LOGFONTA lfSelected = {}, lfGui = {};
    ::GetObjectA(::GetCurrentObject(hdc, OBJ_FONT), sizeof(lfSelected), &lfSelected);
    ::GetObjectA(hGuiFont, sizeof(lfGui), &lfGui);
    EXPECT_EQ(0, memcmp(&lfGui, &lfSelected, sizeof(lfGui)));
    EXPECT_NE(hGuiFont, ::GetCurrentObject(hdc, OBJ_FONT));
    ::DeleteDC(hdc);
    label.DestroyWindow();
    ::DeleteObject(hDialogFont);
}

TEST(ShadowLabel, DrawsTheShadowFirstThenBlackTextLeftAlignedAndWrapped)
{
    CTestParent parent(kParentBk);
    // Centred, and narrow enough for the text to wrap.
    HWND hLabel = parent.AddChild("STATIC", kText, SS_CENTER, 110, 60);
    CShadowLabel label;
    ASSERT_TRUE(label.SubclassWindow(hLabel));
    parent.ShowAndPaint();
    HGDIOBJ hFont = (HGDIOBJ)::SendMessageA(hLabel, WM_GETFONT, 0, 0);
    ExpectLabel(hLabel, hFont, DT_WORDBREAK, RGB(0, 0, 0), kParentBk);

    // The flag shows only after a repaint of its own.
    ::ValidateRect(hLabel, NULL);
    EXPECT_EQ(0, label.SetShadow(1));
    EXPECT_EQ(1, label.SetShadow(1));
    EXPECT_FALSE(::GetUpdateRect(hLabel, NULL, FALSE));
    parent.ShowAndPaint();
    ExpectLabel(hLabel, hFont, DT_WORDBREAK, RGB(0, 0, 0), kParentBk, true);
}
