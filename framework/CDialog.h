// A dialog made from a dialog template. DoModal creates it modeless, disables
// the owner and runs its own loop, so that PreTranslateMessage sees every
// keystroke before the dialog manager does.
#pragma once
#include "framework/CWnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }
    BOOL m_bSaveAndValidate;
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
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // TRUE while the modal loop runs and EndDialog has not been called.
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
