#include "Module.h"
#include "GameCtrlPropSheet.h"

// The image this code is linked into; set again by DllMain, which sees the same value.
extern "C" IMAGE_DOS_HEADER __ImageBase;
HINSTANCE g_hInstance = reinterpret_cast<HINSTANCE>(&__ImageBase);

CRITICAL_SECTION PageLock;
volatile LONG ObjectCount = 0;

const CLSID CLSID_ControllerPropertySheet = {
    0x5F2E8B31, 0x7B5E, 0x4D19, {0xA6, 0x4C, 0x00, 0x31, 0xD7, 0xE2, 0xB8, 0x6A}};

const IID IID_IDIGameCntrlPropSheet = {
    0x7854FB22, 0x8EE3, 0x11D0, {0xA1, 0xAC, 0x00, 0x00, 0xF8, 0x02, 0x69, 0x77}};

namespace {

// PageLock lives exactly as long as the image is loaded, whether the image is the DLL or a
// program that links these objects.
struct PageLockLifetime {
    PageLockLifetime() { InitializeCriticalSection(&PageLock); }
    ~PageLockLifetime() { DeleteCriticalSection(&PageLock); }
};
PageLockLifetime g_pageLockLifetime;

}  // namespace
