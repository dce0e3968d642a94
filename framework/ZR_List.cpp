#include "ZR_List.h"

CZR_List* CZR_List::Init()
{
    pTail = nullptr;
    pHead = nullptr;
    nCount = 0;
    return this;
}

void CZR_List::LinkAfter(CZR_ListNode* pAnchor, CZR_ListNode* pElement)
{
    pElement->pPrev = pAnchor;
    pElement->pNext = pAnchor->pNext;
    pAnchor->pNext->pPrev = pElement;
    pAnchor->pNext = pElement;
}

CZR_ListNode* CZR_List::AddTail(CZR_ListNode* pElement)
{
    return Insert(pElement, nullptr);
}

CZR_ListNode* CZR_List::Insert(CZR_ListNode* pFirst, CZR_ListNode* pSecond)
{
    // Nothing to link: counting it would leave the count above the elements in the circle.
    if (!pFirst && !pSecond)
        return nullptr;
    ++nCount;
    if (!pSecond) {
        if (pTail) {
            LinkAfter(pTail, pFirst);
        } else {
            pFirst->pPrev = pFirst;
            pFirst->pNext = pFirst;
            pHead = pFirst;
        }
        pTail = pFirst;
        return pFirst;
    }
    if (!pTail) {
        pSecond->pPrev = pSecond;
        pSecond->pNext = pSecond;
        pHead = pTail = pSecond;
    } else if (!pFirst) {
        // A new head goes between the tail and the old head.
        LinkAfter(pTail, pSecond);
        pHead = pSecond;
    } else {
        LinkAfter(pFirst, pSecond);
        // After the tail, the new element is the new tail, so walking from the head still ends
        // on the last element.
        if (pFirst == pTail)
            pTail = pSecond;
    }
    return pSecond;
}

CZR_ListNode* CZR_List::Unlink(CZR_ListNode* pElement)
{
    if (nCount == 0)
        return nullptr;
    if (--nCount == 0) {
        pHead = nullptr;
        pTail = nullptr;
        return pElement;
    }
    if (pElement == pHead)
        pHead = pElement->pNext;
    if (pElement == pTail)
        pTail = pElement->pPrev;
    pElement->pNext->pPrev = pElement->pPrev;
    pElement->pPrev->pNext = pElement->pNext;
    return pElement;
}

CZR_ListNode* CZR_List::RemoveHead()
{
    CZR_ListNode* pElement = GetHead();
    return pElement ? Unlink(pElement) : nullptr;
}
