// A button control. An owner-drawn button draws itself in DrawItem, which its
// parent's draw request reaches through reflection.
#pragma once
#include "framework/CWnd.h"

class CButton : public CWnd
{
public:
    UINT GetState() const { return (UINT)::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0); }

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    DECLARE_MESSAGE_MAP()
};
