#include "ZR_SrvServer.h"

#include <new>

CZR_SrvServer::CZR_SrvServer(CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg)
    : CZR_SrvThread(pLogArg, pErrLogArg)
{
    clients.Init();
}

CZR_SrvServer::~CZR_SrvServer()
{
    DeleteAllClients();
}

bool CZR_SrvServer::CanPause() { return false; }

void CZR_SrvServer::SetError()
{
    Lock();
    nState = SRV_ERROR;
    Unlock();
}

void CZR_SrvServer::AddClient(CZR_SrvThread* pClient)
{
    if (!pClient)
        return;
    auto* pNode = new (std::nothrow) CZR_ClientNode{};
    if (!pNode) {
        SetError();
        return;
    }
    pNode->pClient = pClient;
    Lock();
    clients.AddTail(pNode);
    Unlock();
}

DWORD CZR_SrvServer::GetClientCount()
{
    Lock();
    const DWORD n = clients.nCount;
    Unlock();
    return n;
}

CZR_SrvThread* CZR_SrvServer::GetClientAt(DWORD nIndex)
{
    if (nIndex >= GetClientCount()) {
        SetError();
        return nullptr;
    }
    // Counted and walked in one locked step, so a list that shrank meanwhile ends the walk
    // instead of leading past its end.
    CZR_SrvThread* pClient = nullptr;
    Lock();
    if (nIndex < clients.nCount) {
        CZR_ListNode* pNode = clients.GetHead();
        for (DWORD i = 0; i < nIndex; ++i)
            pNode = pNode->pNext;
        pClient = static_cast<CZR_ClientNode*>(pNode)->pClient;
    }
    Unlock();
    return pClient;
}

CZR_SrvThread* CZR_SrvServer::TakeFirstClient()
{
    Lock();
    auto* pNode = static_cast<CZR_ClientNode*>(clients.RemoveHead());
    Unlock();
    if (!pNode)
        return nullptr;
    CZR_SrvThread* pClient = pNode->pClient;
    delete pNode;
    return pClient;
}

void CZR_SrvServer::DeleteAllClients()
{
    Lock();
    for (DWORD n = GetClientCount(); n > 0; --n)
        delete TakeFirstClient();
    Unlock();
}

void CZR_SrvServer::Cleanup()
{
    // Rotates the nodes themselves, so giving an unfinished client back allocates nothing and
    // cannot lose it.
    for (DWORD n = GetClientCount(); n > 0; --n) {
        Lock();
        auto* pNode = static_cast<CZR_ClientNode*>(clients.RemoveHead());
        Unlock();
        if (!pNode)
            break;
        const SrvState nClientState = pNode->pClient->GetState();
        if (nClientState == SRV_STOPPED || nClientState == SRV_ENDED) {
            delete pNode->pClient;
            delete pNode;
        } else {
            Lock();
            clients.AddTail(pNode);
            Unlock();
        }
    }
}
