#include "ZR_List.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Element : CZR_ListNode {
    int nValue;
};

std::vector<int> Walk(const CZR_List& list)
{
    std::vector<int> values;
    CZR_ListNode* p = list.pHead;
    for (DWORD i = 0; i < list.nCount; ++i, p = p->pNext)
        values.push_back(static_cast<Element*>(p)->nValue);
    return values;
}

// Checks the circle both ways, so a broken back link shows as well as a broken forward one.
void ExpectCircle(const CZR_List& list)
{
    if (list.nCount == 0) {
        EXPECT_EQ(list.pHead, nullptr);
        EXPECT_EQ(list.pTail, nullptr);
        return;
    }
    EXPECT_EQ(list.pHead->pPrev, list.pTail);
    EXPECT_EQ(list.pTail->pNext, list.pHead);
    CZR_ListNode* p = list.pHead;
    for (DWORD i = 0; i < list.nCount; ++i, p = p->pNext)
        EXPECT_EQ(p->pNext->pPrev, p);
    EXPECT_EQ(p, list.pHead);
}

class ListTest : public testing::Test {
protected:
    void SetUp() override
    {
        list.Init();
        for (int i = 0; i < 4; ++i)
            e[i].nValue = i + 1;
    }
    CZR_List list;
    Element e[4];
};

TEST_F(ListTest, EmptyListGivesNothing)
{
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.RemoveHead(), nullptr);
    EXPECT_EQ(list.Unlink(&e[0]), nullptr);
    EXPECT_EQ(list.nCount, 0u);
}

TEST_F(ListTest, SingleElementLinksToItself)
{
    EXPECT_EQ(list.AddTail(&e[0]), &e[0]);
    EXPECT_EQ(list.pHead, &e[0]);
    EXPECT_EQ(list.pTail, &e[0]);
    EXPECT_EQ(e[0].pPrev, &e[0]);
    EXPECT_EQ(e[0].pNext, &e[0]);
    EXPECT_EQ(list.RemoveHead(), &e[0]);
    EXPECT_EQ(list.pHead, nullptr);
    EXPECT_EQ(list.pTail, nullptr);
    EXPECT_EQ(list.nCount, 0u);
}

TEST_F(ListTest, RotationKeepsOrderAndDropsAnElement)
{
    for (int i = 0; i < 3; ++i)
        list.AddTail(&e[i]);
    for (DWORD n = list.nCount; n > 0; --n)
        list.AddTail(list.RemoveHead());
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 2, 3}));

    for (DWORD n = list.nCount; n > 0; --n) {
        CZR_ListNode* p = list.RemoveHead();
        if (p != &e[1])
            list.AddTail(p);
    }
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.nCount, 2u);
    EXPECT_EQ(list.pHead, &e[0]);
    EXPECT_EQ(list.pTail, &e[2]);
    EXPECT_EQ(e[0].pPrev, &e[2]);
    EXPECT_EQ(e[2].pNext, &e[0]);
}

TEST_F(ListTest, UnlinkTailAndHead)
{
    for (int i = 0; i < 3; ++i)
        list.AddTail(&e[i]);
    list.Unlink(&e[2]);
    EXPECT_EQ(list.pTail, &e[1]);
    EXPECT_EQ(e[1].pNext, &e[0]);
    EXPECT_EQ(e[0].pPrev, &e[1]);
    list.Unlink(&e[0]);
    EXPECT_EQ(list.pHead, &e[1]);
    EXPECT_EQ(list.pTail, &e[1]);
    ExpectCircle(list);
}

TEST_F(ListTest, PositionalInsert)
{
    list.Insert(nullptr, &e[1]); // into an empty list
    EXPECT_EQ(list.pHead, &e[1]);
    EXPECT_EQ(list.pTail, &e[1]);
    list.Insert(nullptr, &e[0]); // new head
    list.Insert(&e[1], &e[3]);   // after the tail: becomes the tail
    list.Insert(&e[1], &e[2]);   // in the middle
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(list.pTail, &e[3]);
    EXPECT_EQ(list.nCount, 4u);
    ExpectCircle(list);

    EXPECT_EQ(list.Insert(nullptr, nullptr), nullptr); // no element: nothing changes
    EXPECT_EQ(list.nCount, 4u);
    EXPECT_EQ(Walk(list), (std::vector<int>{1, 2, 3, 4}));
}

} // namespace
