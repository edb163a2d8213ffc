// A hidden window standing in for a worker's dialog: every message in its
// range is recorded, handed to OnMessage on the window's own thread (where the
// dialog would take it) and answered with 1.
#pragma once
#include "framework/CWnd.h"

#include <vector>

class CRecordingDialog
{
public:
    CRecordingDialog(UINT nFirst, UINT nLast) : m_nFirst(nFirst), m_nLast(nLast)
    {
        static ATOM s_atom = 0;
        if (!s_atom)
        {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &CRecordingDialog::Proc;
            wc.hInstance = ::GetModuleHandleA(NULL);
            wc.lpszClassName = "TessoraRecordingDialog";
            s_atom = ::RegisterClassA(&wc);
        }
        HWND hwnd = ::CreateWindowA("TessoraRecordingDialog", "", WS_POPUP, 0, 0, 10, 10, NULL,
                                    NULL, ::GetModuleHandleA(NULL), NULL);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)this);
        m_wnd.Attach(hwnd);
    }
    virtual ~CRecordingDialog() { ::DestroyWindow(m_wnd.Detach()); }
    CRecordingDialog(const CRecordingDialog&) = delete;
    CRecordingDialog& operator=(const CRecordingDialog&) = delete;

    // The recorded messages, in the order they came.
    const std::vector<UINT>& Messages() const { return m_messages; }

    CWnd m_wnd;

protected:
    // What the dialog would make of the message; its parameters are valid here only.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {}

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        CRecordingDialog* self = (CRecordingDialog*)::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
        if (self && msg >= self->m_nFirst && msg <= self->m_nLast)
        {
            self->m_messages.push_back(msg);
            self->OnMessage(msg, wParam, lParam);
            return 1;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    UINT m_nFirst, m_nLast;
    std::vector<UINT> m_messages;
};
