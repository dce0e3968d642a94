#include "ZR_SrvThread.h"

CZR_SrvThread::CZR_SrvThread(CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg)
    : pErrLog(pErrLogArg), pLog(pLogArg), pClientContext(0), hThread(nullptr),
      dwThreadId(static_cast<DWORD>(-1)), nReserved(-1), bReservedA(0), bReservedB(0),
      nState(SRV_IDLE)
{
    InitializeCriticalSection(&cs);
    queue.Init();
}

CZR_SrvThread::~CZR_SrvThread()
{
    Shutdown();
}

bool CZR_SrvThread::Start()
{
    WaitTransition();
    Lock();
    const LONG nNow = nState.load();
    if (nNow != SRV_IDLE && nNow != SRV_STOPPED) {
        Unlock();
        return false;
    }
    // A restart: the earlier worker has ended, only its handle is left.
    if (HANDLE hOld = hThread.exchange(nullptr)) {
        WaitForSingleObject(hOld, INFINITE);
        CloseHandle(hOld);
    }
    if (OnStart()) {
        hThread = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &dwThreadId);
        if (hThread) {
            nState = SRV_STARTING;
            Unlock();
            ResumeThread(hThread);
            return true;
        }
    }
    nState = SRV_IDLE;
    if (HANDLE h = hThread.exchange(nullptr))
        CloseHandle(h);
    dwThreadId = static_cast<DWORD>(-1);
    Unlock();
    return false;
}

DWORD WINAPI CZR_SrvThread::ThreadProc(LPVOID pParam)
{
    if (!pParam)
        return 0;
    auto* pThis = static_cast<CZR_SrvThread*>(pParam);
    const SrvState nFirst = pThis->GetState();
    SrvState nFinal;
    if (nFirst == SRV_STARTING) {
        pThis->Lock();
        pThis->nState = SRV_RUNNING;
        pThis->Unlock();
        for (;;) {
            if (pThis->IsStopRequested()) {
                nFinal = SRV_STOPPED;
                break;
            }
            if (pThis->IsErrorState()) {
                pThis->OnError();
                nFinal = SRV_ENDED;
                break;
            }
            if (pThis->nState.load() == SRV_RUNNING && !pThis->RunPass())
                pThis->nState = SRV_ERROR;
            Sleep(0);
        }
    } else {
        nFinal = nFirst == SRV_STOP_REQUESTED ? SRV_ENDED : SRV_STOPPED;
    }
    pThis->Lock();
    pThis->nState = nFinal;
    pThis->Unlock();
    return 0;
}

bool CZR_SrvThread::WorkerGone()
{
    HANDLE h = hThread.load();
    return !h || WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
}

void CZR_SrvThread::WaitTransition()
{
    for (;;) {
        const LONG nNow = nState.load();
        switch (nNow) {
        case SRV_STARTING:
        case SRV_STOP_REQUESTED:
        case SRV_PAUSE_REQUESTED:
        case SRV_RESUME_REQUESTED:
        case SRV_ERROR:
            // A worker that was killed, or ended with the process, never writes its final
            // state: its signalled handle stands for it.
            if (WorkerGone()) {
                LONG nExpected = nNow;
                nState.compare_exchange_strong(nExpected, nNow == SRV_ERROR && hThread.load()
                                                              ? SRV_ENDED
                                                              : SRV_STOPPED);
                return;
            }
            Sleep(0);
            break;
        default:
            return;
        }
    }
}

bool CZR_SrvThread::Stop()
{
    WaitTransition();
    Lock();
    const LONG nNow = nState.load();
    if (nNow == SRV_IDLE)
        nState = SRV_STOPPED;
    else if (nNow != SRV_STOPPED && nNow != SRV_ENDED)
        nState = SRV_STOP_REQUESTED;
    Unlock();
    return true;
}

bool CZR_SrvThread::Pause()
{
    return CanPause() && RequestPauseChange(SRV_PAUSED, SRV_RUNNING, SRV_PAUSE_REQUESTED);
}

bool CZR_SrvThread::Resume()
{
    return CanPause() && RequestPauseChange(SRV_RUNNING, SRV_PAUSED, SRV_RESUME_REQUESTED);
}

bool CZR_SrvThread::RequestPauseChange(SrvState nAlready, SrvState nFrom, SrvState nRequest)
{
    WaitTransition();
    Lock();
    const LONG nNow = nState.load();
    const bool bResult = nNow == nAlready || nNow == nFrom;
    if (nNow == nFrom)
        nState = nRequest;
    Unlock();
    return bResult;
}

void CZR_SrvThread::StopAndWait()
{
    for (;;) {
        WaitTransition();
        Lock();
        const LONG nNow = nState.load();
        Unlock();
        if (nNow == SRV_IDLE || nNow == SRV_STOPPED || nNow == SRV_ENDED)
            return;
        Stop();
        Sleep(10);
    }
}

void CZR_SrvThread::Shutdown()
{
    StopAndWait();
    Lock();
    for (DWORD n = queue.nCount; n > 0; --n)
        QueuePop(); // stores nothing, so nothing comes back to free
    if (HANDLE h = hThread.exchange(nullptr)) {
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
    }
    Unlock();
    DeleteCriticalSection(&cs);
}

DWORD CZR_SrvThread::GetThreadId() { return dwThreadId; }
SrvState CZR_SrvThread::GetState() { return static_cast<SrvState>(nState.load()); }
CZR_ListNode* CZR_SrvThread::NextQueued() { return QueuePop(); }
LONG CZR_SrvThread::GetReserved() { return 0; }
DWORD CZR_SrvThread::GetClientCount() { return 0; }
CZR_SrvThread* CZR_SrvThread::GetClientAt(DWORD) { return nullptr; }
void CZR_SrvThread::Lock() { EnterCriticalSection(&cs); }
void CZR_SrvThread::Unlock() { LeaveCriticalSection(&cs); }
bool CZR_SrvThread::OnStart() { return true; }
bool CZR_SrvThread::RunPass() { return true; }
bool CZR_SrvThread::IdlePass() { return true; }
bool CZR_SrvThread::OnReservedA() { return true; }
bool CZR_SrvThread::OnReservedB() { return true; }
bool CZR_SrvThread::OnError() { return true; }
void CZR_SrvThread::Cleanup() {}

bool CZR_SrvThread::IsStopRequested()
{
    Sleep(0);
    return nState.load() == SRV_STOP_REQUESTED;
}

bool CZR_SrvThread::IsErrorState()
{
    Sleep(0);
    return nState.load() == SRV_ERROR;
}

bool CZR_SrvThread::IsPauseRequested()
{
    Sleep(0);
    return nState.load() == SRV_PAUSE_REQUESTED;
}

bool CZR_SrvThread::IsResumeRequested()
{
    Sleep(0);
    return nState.load() == SRV_RESUME_REQUESTED;
}

void CZR_SrvThread::QueuePush(CZR_ListNode*) {}
CZR_ListNode* CZR_SrvThread::QueuePop() { return nullptr; }
bool CZR_SrvThread::ReturnTrue(LONG, void*, BYTE) { return true; }

CZR_SrvClient::CZR_SrvClient(ULONG_PTR pContext, LONG nValue, CZR_DayLog* pLogArg,
                             CZR_DayLog* pErrLogArg)
    : CZR_SrvThread(pLogArg, pErrLogArg), nClientValue(nValue)
{
    pClientContext = pContext;
}

CZR_SrvClient::~CZR_SrvClient()
{
    Shutdown();
}

bool CZR_SrvClient::CanPause() { return false; }
void CZR_SrvClient::Shutdown() {}
bool CZR_SrvClient::ReturnFalseA(void*, LONG) { return false; }
bool CZR_SrvClient::ReturnFalseB(void*, LONG) { return false; }
