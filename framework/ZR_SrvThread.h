#pragma once

#include "ZR_List.h"
#include "ZR_Object.h"

#include <atomic>

enum SrvState : LONG {
    SRV_IDLE = 0,
    SRV_STARTING = 1,
    SRV_RUNNING = 2,
    SRV_STOP_REQUESTED = 3,
    SRV_STOPPED = 4,
    SRV_PAUSE_REQUESTED = 5,
    SRV_PAUSED = 6,
    SRV_RESUME_REQUESTED = 7,
    SRV_ERROR = 8,
    SRV_ENDED = 9,
};

// An object that owns one worker thread and runs a derived class's pass on it. The controlling
// threads start it, request its stop and wait for its end through the state; the worker writes
// its own transitions. A derived class whose pass uses its own members calls StopAndWait at the
// start of its own destructor.
class CZR_SrvThread : public CZR_Object {
public:
    CZR_SrvThread(CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg);
    ~CZR_SrvThread() override;

    virtual bool Start();
    virtual bool Stop();
    virtual bool Pause();
    virtual bool Resume();
    virtual DWORD GetThreadId();
    virtual SrvState GetState();
    virtual bool CanPause() = 0;
    virtual CZR_ListNode* NextQueued();
    virtual LONG GetReserved();
    virtual DWORD GetClientCount();
    virtual CZR_SrvThread* GetClientAt(DWORD nIndex);
    virtual void Lock();
    virtual void Unlock();
    virtual bool OnStart();
    virtual bool RunPass();
    virtual bool IdlePass();
    virtual bool OnReservedA();
    virtual bool OnReservedB();
    virtual bool OnError();
    virtual void Cleanup();

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void WaitTransition();
    void StopAndWait();
    bool IsStopRequested();
    bool IsErrorState();
    bool IsPauseRequested();
    bool IsResumeRequested();
    void QueuePush(CZR_ListNode* pElement);
    CZR_ListNode* QueuePop();
    bool ReturnTrue(LONG nValue, void* pValue, BYTE bValue);

protected:
    CZR_DayLog* pErrLog;
    CZR_DayLog* pLog;
    ULONG_PTR pClientContext;
    CZR_List queue;
    std::atomic<HANDLE> hThread;
    CRITICAL_SECTION cs;
    DWORD dwThreadId;
    LONG nReserved;
    BYTE bReservedA;
    BYTE bReservedB;
    std::atomic<LONG> nState;

private:
    void Shutdown();
    // Pause and Resume once CanPause agreed: true, changing nothing, in nAlready; true, writing
    // nRequest, in nFrom; false in any other state.
    bool RequestPauseChange(SrvState nAlready, SrvState nFrom, SrvState nRequest);
    // True when the worker thread exists no more, whatever state it left behind.
    bool WorkerGone();
};

class CZR_SrvClient : public CZR_SrvThread {
public:
    CZR_SrvClient(ULONG_PTR pContext, LONG nValue, CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg);
    ~CZR_SrvClient() override;

    bool CanPause() override;

    void Shutdown();
    bool ReturnFalseA(void* pValue, LONG nValue);
    bool ReturnFalseB(void* pValue, LONG nValue);

protected:
    LONG nClientValue;
};
