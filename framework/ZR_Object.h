#pragma once

#include <windows.h>

// Root of the driver's class tree: a virtual destructor and an atomic reference count.
class CZR_Object {
public:
    CZR_Object() : nRefCount(0) {}
    CZR_Object(const CZR_Object&) = delete;
    CZR_Object& operator=(const CZR_Object&) = delete;

    virtual ~CZR_Object();
    // Returns the count after the increment.
    virtual LONG AddRef();
    // Returns the count after the decrement; the step from 1 to 0 destroys the object.
    virtual LONG Release();

protected:
    volatile LONG nRefCount;
};

// A day log that is handed its folder and records nothing.
class CZR_DayLog : public CZR_Object {
public:
    explicit CZR_DayLog(const char* pszFolder);
    ~CZR_DayLog() override;
    virtual void Write(const void* pFirst, const void* pSecond, LONG nValue);
};
