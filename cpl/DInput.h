#pragma once

// DirectInput as the control panel uses it: the DirectInput 5 interfaces plus the path
// property, which the headers only declare from version 7 on. The object is still created
// with version 0x0500 (passed explicitly to DirectInputCreateA).
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
