#include "LocalBlock.h"

LocalBlock::~LocalBlock()
{
    Free();
}

bool LocalBlock::Allocate(DWORD cbNewSize)
{
    Free();
    if (cbNewSize == MAXDWORD)
        return false;
    pBytes = static_cast<BYTE*>(LocalAlloc(LPTR, cbNewSize + 1));
    if (!pBytes)
        return false;
    cbSize = cbNewSize;
    return true;
}

void LocalBlock::Free()
{
    if (pBytes)
        LocalFree(pBytes);
    pBytes = nullptr;
    cbSize = 0;
}
