#include "ZR_Object.h"

CZR_Object::~CZR_Object() = default;

LONG CZR_Object::AddRef()
{
    return InterlockedIncrement(&nRefCount);
}

LONG CZR_Object::Release()
{
    // Decide on the value the atomic step produced, never on a second read of the field,
    // so two threads releasing the last two references destroy the object once.
    const LONG nCount = InterlockedDecrement(&nRefCount);
    if (nCount == 0)
        delete this;
    return nCount;
}

CZR_DayLog::CZR_DayLog(const char* /*pszFolder*/) {}

CZR_DayLog::~CZR_DayLog() = default;

void CZR_DayLog::Write(const void* /*pFirst*/, const void* /*pSecond*/, LONG /*nValue*/) {}
