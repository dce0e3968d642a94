#pragma once

#include <windows.h>

// A zero-filled LocalAlloc block that is freed when replaced or when it leaves scope. One byte
// beyond the usable size is kept zero, so text read into the block always has a terminator.
class LocalBlock {
public:
    LocalBlock() = default;
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    ~LocalBlock();

    // Frees the current block first, then allocates cbSize usable bytes, all zero.
    bool Allocate(DWORD cbSize);
    BYTE* Bytes() const { return pBytes; }
    DWORD Size() const { return cbSize; }

private:
    void Free();

    BYTE* pBytes = nullptr;
    DWORD cbSize = 0;
};
