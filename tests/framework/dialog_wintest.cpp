// A modal dialog built from the test's own template, driven from inside its
// modal loop: each step is a posted message, so everything a step posted (a
// key, a close request) has been handled when the next step runs.
#include "framework/CButton.h"
#include "framework/CDC.h"
#include "framework/CDialog.h"
#include "framework/CProgressCtrl.h"
#include "framework/CStatic.h"
#include "framework/CWinApp.h"
#include "dialog_test_ids.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
const UINT UM_STEP = WM_APP + 1;
const UINT_PTR kWatchdog = 77;
const COLORREF kLabelBk = RGB(255, 0, 0);
const COLORREF kDrawnFace = RGB(0, 160, 0);

std::string Text(HWND hWnd)
{
    char buf[256] = {0};
    ::GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

// A static that answers its own colour request, as the colour label does.
class CTestLabel : public CStatic
{
public:
    CTestLabel() : m_hBrush(::CreateSolidBrush(kLabelBk)) {}
    ~CTestLabel() override { ::DeleteObject(m_hBrush); }
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        ++m_nCalls;
        m_nKind = nCtlColor;
        pDC->SetTextColor(RGB(0, 0, 255));
        return m_bAnswerNull ? NULL : m_hBrush;
    }
    HBRUSH m_hBrush;
    int m_nCalls = 0;
    UINT m_nKind = 99;
    bool m_bAnswerNull = false;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Records what PreSubclassWindow could see.
class CProbeStatic : public CStatic
{
public:
    void PreSubclassWindow() override
    {
        m_bBoundBefore = m_hWnd != NULL;
        m_bOwnProcBefore = (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) != AfxWndProc;
        CStatic::PreSubclassWindow();
    }
    bool m_bBoundBefore = false;
    bool m_bOwnProcBefore = false;
};

class CTestButton : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT p) override
    {
        ++m_nDraws;
        m_dis = *p;
        CDC dc;
        dc.Attach(p->hDC);
        dc.FillSolidRect(&p->rcItem, kDrawnFace);
        dc.Detach();
    }
    int m_nDraws = 0;
    DRAWITEMSTRUCT m_dis = {};
};

class CTestDlg : public CDialog
{
public:
    explicit CTestDlg(UINT nIDTemplate = IDD_FRAMEWORK_TEST, CWnd* pParent = NULL)
        : CDialog(nIDTemplate, pParent)
    {
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++m_nInits;
        ::SetTimer(m_hWnd, kWatchdog, 30000, NULL);
        if (m_onInit)
            m_onInit();
        if (!m_steps.empty())
            PostMessage(UM_STEP, 0);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (m_bSwallowEscape && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        {
            ++m_nSwallowed;
            m_hSwallowedFrom = pMsg->hwnd;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    using CDialog::IsModalRunning;

    CTestLabel m_label;
    CProbeStatic m_centered;
    CTestButton m_drawn;
    CProgressCtrl m_progress;
    CButton m_ok;

    std::function<void()> m_onInit;
    std::vector<std::function<void()>> m_steps;
    int m_nInits = 0;
    int m_nExchanges = 0;
    bool m_bSwallowEscape = false;
    int m_nSwallowed = 0;
    HWND m_hSwallowedFrom = NULL;
    bool m_bTimedOut = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        ++m_nExchanges;
        DDX_Control(pDX, IDC_LABEL, m_label);
        DDX_Control(pDX, IDC_CENTERED, m_centered);
        DDX_Control(pDX, IDC_DRAWN, m_drawn);
        DDX_Control(pDX, IDC_PROGRESS, m_progress);
        DDX_Control(pDX, IDOK, m_ok);
    }
    LRESULT OnStep(WPARAM wParam, LPARAM)
    {
        size_t i = (size_t)wParam;
        if (i < m_steps.size())
            m_steps[i]();
        if (i + 1 < m_steps.size() && IsModalRunning())
            PostMessage(UM_STEP, i + 1);
        return 0;
    }
    void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent != kWatchdog)
            return;
        // Only a broken test gets here: end it rather than hang.
        m_bTimedOut = true;
        EndDialog(-2);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_MESSAGE(UM_STEP, OnStep)
ON_WM_TIMER()
END_MESSAGE_MAP()

COLORREF PixelOf(HWND hWnd, int x, int y)
{
    HDC hdc = ::GetDC(hWnd);
    COLORREF c = ::GetPixel(hdc, x, y);
    ::ReleaseDC(hWnd, hdc);
    return c;
}
} // namespace

TEST(CDialog, DataExchangeBindsTheTemplatesControlsAndKeepsTheirTextAndStyle)
{
    CTestDlg dlg;
    HWND hDlg = NULL, hLabel = NULL;
    dlg.m_steps.push_back(
        [&]
        {
            hDlg = dlg.m_hWnd;
            hLabel = ::GetDlgItem(dlg, IDC_LABEL);
            EXPECT_EQ("框架测试", Text(hDlg));
            EXPECT_EQ(1, dlg.m_nInits);
            EXPECT_EQ(1, dlg.m_nExchanges);

            const int ids[] = {IDC_LABEL, IDC_CENTERED, IDC_DRAWN, IDC_PROGRESS, IDOK};
            CWnd* objects[] = {&dlg.m_label, &dlg.m_centered, &dlg.m_drawn, &dlg.m_progress,
                               &dlg.m_ok};
            for (int i = 0; i < 5; ++i)
            {
                HWND h = ::GetDlgItem(dlg, ids[i]);
                EXPECT_EQ(h, objects[i]->m_hWnd) << ids[i];
                EXPECT_EQ(objects[i], CWnd::FromHandlePermanent(h)) << ids[i];
                EXPECT_EQ((LONG_PTR)AfxWndProc, ::GetWindowLongPtrA(h, GWLP_WNDPROC)) << ids[i];
            }
            EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(::GetDlgItem(dlg, IDC_UNBOUND)));

            // Template texts (code page 936) and styles are those of the template.
            EXPECT_EQ("激活命令 誠", Text(dlg.m_label)); // 誠 ends in the byte 0x5C
            EXPECT_EQ("居中 淺", Text(dlg.m_centered));
            EXPECT_EQ((DWORD)SS_CENTER, dlg.m_centered.GetStyle() & SS_TYPEMASK);
            EXPECT_EQ((DWORD)BS_OWNERDRAW, dlg.m_drawn.GetStyle() & BS_TYPEMASK);
            EXPECT_TRUE(dlg.m_progress.GetStyle() & PBS_SMOOTH);
            EXPECT_EQ("Progress2", Text(dlg.m_progress));
            EXPECT_TRUE(dlg.m_label.GetStyle() & WS_GROUP);

            // PreSubclassWindow runs with the object bound, before the procedure changes.
            EXPECT_TRUE(dlg.m_centered.m_bBoundBefore);
            EXPECT_TRUE(dlg.m_centered.m_bOwnProcBefore);
            dlg.EndDialog(42);
        });
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_FALSE(dlg.m_bTimedOut);
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_FALSE(::IsWindow(hLabel));
    // The window's end unbinds every object, so the dialog can run again.
    EXPECT_TRUE(dlg.m_hWnd == NULL);
    EXPECT_TRUE(dlg.m_label.m_hWnd == NULL);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hLabel));

    dlg.m_steps.assign(1,
                       [&]
                       {
                           EXPECT_TRUE(dlg.m_label.m_hWnd != NULL);
                           EXPECT_EQ(::GetDlgItem(dlg, IDC_LABEL), dlg.m_label.m_hWnd);
                           dlg.EndDialog(43);
                       });
    EXPECT_EQ(43, dlg.DoModal());
    EXPECT_EQ(2, dlg.m_nInits);
}

TEST(CDialog, PreTranslateMessageSeesKeysBeforeTheDialogManager)
{
    CTestDlg dlg;
    HWND hFocus = NULL;
    dlg.m_steps.push_back(
        [&]
        {
            dlg.m_bSwallowEscape = true;
            ::SetFocus(dlg.m_ok);
            hFocus = ::GetFocus();
            EXPECT_EQ(dlg.m_ok.m_hWnd, hFocus);
            ::PostMessageA(hFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        });
    dlg.m_steps.push_back(
        [&]
        {
            // The key went to the focused control and stopped at the dialog's filter.
            EXPECT_EQ(1, dlg.m_nSwallowed);
            EXPECT_EQ(hFocus, dlg.m_hSwallowedFrom);
            EXPECT_TRUE(dlg.IsModalRunning());
            // Not swallowed, the same key cancels the dialog.
            dlg.m_bSwallowEscape = false;
            ::PostMessageA(hFocus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(dlg.m_bTimedOut);
    EXPECT_EQ(1, dlg.m_nSwallowed);
}

TEST(CDialog, ColourRequestsAreReflectedToTheBoundChild)
{
    CTestDlg dlg;
    dlg.m_steps.push_back(
        [&]
        {
            HDC hdc = ::GetDC(dlg.m_hWnd);
            ::SetTextColor(hdc, RGB(0, 0, 0));
            LRESULT r = dlg.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)dlg.m_label.m_hWnd);
            EXPECT_EQ((LRESULT)dlg.m_label.m_hBrush, r);
            EXPECT_EQ(1, dlg.m_label.m_nCalls);
            EXPECT_EQ((UINT)CTLCOLOR_STATIC, dlg.m_label.m_nKind);
            // The child worked on the context that the request carried.
            EXPECT_EQ(RGB(0, 0, 255), ::GetTextColor(hdc));

            dlg.SendMessage(WM_CTLCOLORBTN, (WPARAM)hdc, (LPARAM)dlg.m_label.m_hWnd);
            EXPECT_EQ((UINT)CTLCOLOR_BTN, dlg.m_label.m_nKind);

            // An unbound control, or a child that gives no brush, gets the dialog's own answer.
            r = dlg.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc,
                                (LPARAM)::GetDlgItem(dlg, IDC_UNBOUND));
            EXPECT_NE((LRESULT)dlg.m_label.m_hBrush, r);
            EXPECT_EQ(2, dlg.m_label.m_nCalls);
            dlg.m_label.m_bAnswerNull = true;
            r = dlg.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)dlg.m_label.m_hWnd);
            EXPECT_EQ(3, dlg.m_label.m_nCalls);
            EXPECT_NE(0, r);
            EXPECT_NE((LRESULT)dlg.m_label.m_hBrush, r);
            dlg.m_label.m_bAnswerNull = false;
            ::ReleaseDC(dlg.m_hWnd, hdc);

            // The control's own paint asks its parent, and draws with the child's brush.
            dlg.m_label.m_nCalls = 0;
            dlg.m_label.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            EXPECT_GE(dlg.m_label.m_nCalls, 1);
            EXPECT_EQ((UINT)CTLCOLOR_STATIC, dlg.m_label.m_nKind);
            RECT rc;
            dlg.m_label.GetClientRect(&rc);
            EXPECT_EQ(kLabelBk, PixelOf(dlg.m_label, rc.right - 2, rc.bottom - 2));
            dlg.EndDialog(IDOK);
        });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(dlg.m_bTimedOut);
}

TEST(CDialog, DrawRequestsReachTheOwnerDrawnButton)
{
    CTestDlg dlg;
    dlg.m_steps.push_back(
        [&]
        {
            dlg.m_drawn.m_nDraws = 0;
            dlg.m_drawn.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            EXPECT_GE(dlg.m_drawn.m_nDraws, 1);
            EXPECT_EQ((UINT)ODT_BUTTON, dlg.m_drawn.m_dis.CtlType);
            EXPECT_EQ((UINT)IDC_DRAWN, dlg.m_drawn.m_dis.CtlID);
            EXPECT_EQ(dlg.m_drawn.m_hWnd, dlg.m_drawn.m_dis.hwndItem);
            EXPECT_EQ(kDrawnFace, PixelOf(dlg.m_drawn, 2, 2));

            // The dialog answers TRUE for a request it passed on, and leaves others alone.
            DRAWITEMSTRUCT dis = dlg.m_drawn.m_dis;
            dis.hDC = ::GetDC(dlg.m_drawn);
            int before = dlg.m_drawn.m_nDraws;
            EXPECT_EQ(TRUE, dlg.SendMessage(WM_DRAWITEM, IDC_DRAWN, (LPARAM)&dis));
            EXPECT_EQ(before + 1, dlg.m_drawn.m_nDraws);
            dis.hwndItem = ::GetDlgItem(dlg, IDCANCEL);
            dis.CtlID = IDCANCEL;
            EXPECT_EQ(FALSE, dlg.SendMessage(WM_DRAWITEM, IDCANCEL, (LPARAM)&dis));
            EXPECT_EQ(before + 1, dlg.m_drawn.m_nDraws);
            ::ReleaseDC(dlg.m_drawn, dis.hDC);
            dlg.EndDialog(IDOK);
        });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(dlg.m_bTimedOut);
}

TEST(CDialog, ButtonsAndCloseEndTheDialogWithTheirResults)
{
    {
        CTestDlg dlg;
        dlg.m_steps.push_back([&] { dlg.m_ok.SendMessage(BM_CLICK); });
        EXPECT_EQ(IDOK, dlg.DoModal());
        // OK exchanges the data once more.
        EXPECT_EQ(2, dlg.m_nExchanges);
    }
    {
        CTestDlg dlg;
        dlg.m_steps.push_back([&] { ::SendMessageA(::GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0); });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_EQ(1, dlg.m_nExchanges);
    }
    {
        CTestDlg dlg;
        dlg.m_steps.push_back([&] { dlg.PostMessage(WM_CLOSE); });
        EXPECT_EQ(IDCANCEL, dlg.DoModal());
        EXPECT_FALSE(dlg.m_bTimedOut);
    }
    {
        // Ended while it initialises: DoModal returns at once with the result.
        CTestDlg dlg;
        bool stepRan = false;
        dlg.m_onInit = [&] { dlg.EndDialog(7); };
        dlg.m_steps.push_back([&] { stepRan = true; });
        EXPECT_EQ(7, dlg.DoModal());
        EXPECT_FALSE(::IsWindow(dlg.m_hWnd));
        // Whatever it had posted meets no window any more.
        PumpMessages();
        EXPECT_FALSE(stepRan);
    }
}

TEST(CDialog, OwnerIsDisabledWhileTheDialogRuns)
{
    HWND hOwner = ::CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 50, 50, NULL, NULL,
                                  ::GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(hOwner);
    CWnd owner;
    owner.Attach(hOwner);
    CTestDlg dlg(IDD_FRAMEWORK_TEST, &owner);
    dlg.m_steps.push_back(
        [&]
        {
            EXPECT_FALSE(::IsWindowEnabled(hOwner));
            EXPECT_EQ(hOwner, ::GetWindow(dlg.m_hWnd, GW_OWNER));
            dlg.EndDialog(IDOK);
        });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(::IsWindowEnabled(hOwner));
    owner.Detach();
    ::DestroyWindow(hOwner);
}

TEST(CDialog, TemplateWithoutVisibleStyleIsShown)
{
    CTestDlg dlg(IDD_HIDDEN_TEST);
    bool visible = false;
    dlg.m_steps.push_back(
        [&]
        {
            visible = ::IsWindowVisible(dlg.m_hWnd) != FALSE;
            dlg.EndDialog(IDOK);
        });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(visible);
}

namespace
{
// Closes the first message box of this thread once it is up, noting its caption.
std::string g_strBoxCaption;
int g_nBoxesClosed = 0;
BOOL CALLBACK CloseBox(HWND hWnd, LPARAM)
{
    char cls[32] = {0};
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !::IsWindowVisible(hWnd))
        return TRUE;
    g_strBoxCaption = Text(hWnd);
    ++g_nBoxesClosed;
    ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}
void CALLBACK PollForBox(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    int before = g_nBoxesClosed;
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseBox, 0);
    if (g_nBoxesClosed != before)
        ::KillTimer(NULL, idEvent);
}

// Shows a box through the window object and returns its caption.
std::string CaptionOfBox(CWnd& wnd, LPCTSTR pszCaption)
{
    g_strBoxCaption.clear();
    g_nBoxesClosed = 0;
    // The box's own modal loop serves the timer until the box has been seen.
    ::SetTimer(NULL, 0, 20, PollForBox);
    wnd.MessageBox("测试", pszCaption, MB_OK);
    EXPECT_EQ(1, g_nBoxesClosed);
    return g_strBoxCaption;
}
} // namespace

TEST(CWinApp, MessageBoxCaptionDefaultsToTheProgramName)
{
    CWinApp app;
    app.InitFromModule(::GetModuleHandleA(NULL));
    EXPECT_STREQ("framework_dialog_wintest", app.m_pszAppName);
    EXPECT_EQ(&app, AfxGetApp());

    CWnd noWindow;
    EXPECT_EQ("framework_dialog_wintest", CaptionOfBox(noWindow, NULL));
    EXPECT_EQ("安装", CaptionOfBox(noWindow, "安装"));

    CWinApp named("Tessora");
    named.InitFromModule(::GetModuleHandleA(NULL));
    EXPECT_STREQ("Tessora", named.m_pszAppName);
    EXPECT_EQ("Tessora", CaptionOfBox(noWindow, NULL));
}

namespace
{
// A window whose background handler fails.
class CThrowingWnd : public CWnd
{
public:
    BOOL OnEraseBkgnd(CDC* pDC)
    {
        m_hSeen = pDC->m_hDC;
        throw std::runtime_error("erase failed");
    }
    HDC m_hSeen = NULL;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

HWND MakeStatic()
{
    return ::CreateWindowA("STATIC", "before", WS_POPUP, 0, 0, 40, 20, NULL, NULL,
                           ::GetModuleHandleA(NULL), NULL);
}
} // namespace

TEST(CWnd, ExceptionStopsAtTheWindowProcedureAndTheLentContextSurvives)
{
    HWND h = MakeStatic();
    ASSERT_TRUE(h);
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(h));
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(NULL));
    EXPECT_EQ(0, ::SendMessageA(h, WM_ERASEBKGND, (WPARAM)mem.m_hDC, 0));
    EXPECT_EQ(mem.m_hDC, wnd.m_hSeen);
    EXPECT_EQ((DWORD)OBJ_MEMDC, ::GetObjectType(mem.m_hDC));
    // The window goes on working, and its end unbinds the object.
    ::SetWindowTextA(h, "after");
    EXPECT_EQ("after", Text(h));
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(wnd.m_hWnd == NULL);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

TEST(CWnd, ObjectGoingAwayHandsTheWindowBackItsOwnProcedure)
{
    HWND h = MakeStatic();
    ASSERT_TRUE(h);
    LONG_PTR own = ::GetWindowLongPtrA(h, GWLP_WNDPROC);
    {
        CStatic wnd;
        ASSERT_TRUE(wnd.SubclassWindow(h));
        EXPECT_EQ((LONG_PTR)AfxWndProc, ::GetWindowLongPtrA(h, GWLP_WNDPROC));
        // A second object cannot take a window that is bound already.
        CStatic other;
        EXPECT_FALSE(other.SubclassWindow(h));
        EXPECT_TRUE(other.m_hWnd == NULL);
    }
    EXPECT_EQ(own, ::GetWindowLongPtrA(h, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    ::SetWindowTextA(h, "still");
    EXPECT_EQ("still", Text(h));
    ::DestroyWindow(h);
}
