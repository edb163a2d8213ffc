#include "framework/CDialog.h"
#include "framework/CWinApp.h"
#include "framework/SystemLibrary.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hCtrl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hCtrl)
        rControl.SubclassWindow(hCtrl);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_nModalResult(-1), m_bInModal(false),
      m_bEndModal(false)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg || !pDlg->SubclassWindow(hWnd))
        return TRUE;
    try
    {
        return pDlg->OnInitDialog();
    }
    catch (...)
    {
        return TRUE;
    }
}

INT_PTR CDialog::DoModal()
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : NULL;
    m_nModalResult = -1;
    m_bEndModal = false;
    m_bInModal = true;
    // Templates may hold common controls (the progress bar): their window
    // classes exist only once the common-control library has registered them.
    SystemInitCommonControls();
    HWND hDlg = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     hOwner, AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (!hDlg)
    {
        m_bInModal = false;
        return -1;
    }
    bool ownerDisabled = false;
    if (hOwner && ::IsWindowEnabled(hOwner))
    {
        ::EnableWindow(hOwner, FALSE);
        ownerDisabled = true;
    }
    // A template without WS_VISIBLE is shown all the same, unless the dialog
    // already ended while it initialised.
    if (m_hWnd && !m_bEndModal && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();
    if (ownerDisabled)
        ::EnableWindow(hOwner, TRUE);
    m_bInModal = false;
    if (m_hWnd)
        DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (!m_bEndModal && m_hWnd)
    {
        BOOL got = ::GetMessageA(&msg, NULL, 0, 0);
        if (got == 0)
        {
            // The program is quitting: leave the quit for the outer loop.
            ::PostQuitMessage((int)msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (WalkPreTranslate(&msg))
            continue;
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

BOOL CDialog::WalkPreTranslate(MSG* pMsg)
{
    if (!m_hWnd || !pMsg->hwnd || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return FALSE;
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h))
    {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == m_hWnd)
            break;
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL)
{
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndModal = true;
    // Wake the modal loop should it be waiting for a message.
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        if (LOWORD(wParam) == IDOK)
        {
            OnOK();
            *pResult = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            *pResult = 0;
            return TRUE;
        }
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}
