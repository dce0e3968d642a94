#pragma once

#include "ZR_SrvThread.h"

struct CZR_ClientNode : CZR_ListNode {
    CZR_SrvThread* pClient;
};

// A worker-thread object that owns a list of client worker-thread objects.
class CZR_SrvServer : public CZR_SrvThread {
public:
    CZR_SrvServer(CZR_DayLog* pLogArg, CZR_DayLog* pErrLogArg);
    ~CZR_SrvServer() override;

    bool CanPause() override;
    DWORD GetClientCount() override;
    CZR_SrvThread* GetClientAt(DWORD nIndex) override;
    void Cleanup() override;

    // Takes ownership of the client; a null client is ignored.
    void AddClient(CZR_SrvThread* pClient);
    // Removes the first client and hands it to the caller; null when there is none.
    CZR_SrvThread* TakeFirstClient();
    void DeleteAllClients();

protected:
    CZR_List clients;

private:
    void SetError();
};
