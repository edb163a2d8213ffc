// Run-time class information: the class name and base of a class, and, for a
// dynamically creatable class, a way to make one. Kept for the MFC shape: the
// worker threads declare themselves creatable as in MFC; nothing reads the record.
#pragma once
#include "framework/wintypes.h"

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;
};

class CObject
{
public:
    virtual ~CObject() {}
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
};

#define RUNTIME_CLASS(cls) (&cls::class##cls)

#define DECLARE_DYNAMIC(cls)                                                                       \
public:                                                                                            \
    static const CRuntimeClass class##cls;                                                         \
    const CRuntimeClass* GetRuntimeClass() const override                                          \
    {                                                                                              \
        return &class##cls;                                                                        \
    }

#define DECLARE_DYNCREATE(cls)                                                                     \
    DECLARE_DYNAMIC(cls)                                                                           \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(cls, base)                                                               \
    const CRuntimeClass cls::class##cls = {#cls, (int)sizeof(cls), nullptr, RUNTIME_CLASS(base)};

#define IMPLEMENT_DYNCREATE(cls, base)                                                             \
    CObject* cls::CreateObject()                                                                   \
    {                                                                                              \
        return new cls;                                                                            \
    }                                                                                              \
    const CRuntimeClass cls::class##cls = {#cls, (int)sizeof(cls), cls::CreateObject,              \
                                           RUNTIME_CLASS(base)};
