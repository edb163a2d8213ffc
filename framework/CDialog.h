// A dialog made from a dialog template. DoModal creates it modeless, disables
// the owner and runs its own loop, so that PreTranslateMessage sees every
// keystroke before the dialog manager does.
#pragma once
#include "framework/CWnd.h"

class CDataExchange
{
public:
    explicit CDataExchange(CWnd* pDlgWnd) : m_pDlgWnd(pDlgWnd) {}
    CWnd* m_pDlgWnd;
};

// Binds the dialog's control nIDC to rControl by subclassing it; the control
// keeps the text and styles the template gave it.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);
    // The direction is kept for the MFC shape: binding controls goes one way only.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // TRUE while the modal loop runs and EndDialog has not been called. Only the
    // dialog tests ask, to stop their scripted steps once the dialog is ending.
    BOOL IsModalRunning() const { return m_bInModal && !m_bEndModal; }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    void RunModalLoop();
    // Offers the message to PreTranslateMessage of each bound window from its
    // target up to this dialog.
    BOOL WalkPreTranslate(MSG* pMsg);

    int m_nModalResult;
    bool m_bInModal;
    bool m_bEndModal;
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
