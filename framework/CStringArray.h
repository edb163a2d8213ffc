// An ordered list of strings with the members of the MFC string array in use.
#pragma once
#include "framework/CString.h"

#include <vector>

class CStringArray
{
public:
    int GetSize() const { return (int)m_items.size(); }
    int GetUpperBound() const { return GetSize() - 1; }
    int Add(const CString& s)
    {
        m_items.push_back(s);
        return GetUpperBound();
    }
    // Only the tests read a list through a constant reference.
    const CString& operator[](int i) const { return m_items[(size_t)i]; }
    CString& operator[](int i) { return m_items[(size_t)i]; }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<CString> m_items;
};
