#pragma once

#include <windows.h>

// The links with which every list element begins.
struct CZR_ListNode {
    CZR_ListNode* pPrev;
    CZR_ListNode* pNext;
};

// Intrusive circular doubly linked list. It allocates nothing and has no lock: every call runs
// under the owner's lock.
struct CZR_List {
    CZR_ListNode* pTail;
    CZR_ListNode* pHead;
    DWORD nCount;

    CZR_List* Init();
    CZR_ListNode* GetHead() const { return pHead; }
    CZR_ListNode* AddTail(CZR_ListNode* pElement);
    CZR_ListNode* RemoveHead();
    // With pSecond null, appends pFirst. Otherwise inserts pSecond after pFirst, or as the new
    // head when pFirst is null. With both null, changes nothing and returns null.
    CZR_ListNode* Insert(CZR_ListNode* pFirst, CZR_ListNode* pSecond);
    void LinkAfter(CZR_ListNode* pAnchor, CZR_ListNode* pElement);
    // Takes pElement (an element of this list) out; null when the list is empty.
    CZR_ListNode* Unlink(CZR_ListNode* pElement);
};
