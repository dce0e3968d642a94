// The key vocabulary: codes, names and picker captions of the 102 key indices.
#include "KeyMap.h"

#include <cstdio>

const BYTE KeyCodeTable[kKeyIndexCount + 2] = {
    0x00,
    0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D,  // 1..12
    0x2E, 0x2A, 0x2B, 0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12,  // 13..24
    0x13, 0x2F, 0x30, 0x28, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D,  // 25..36
    0x0E, 0x0F, 0x33, 0x34, 0xE1, 0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10,  // 37..48
    0x36, 0x37, 0x38, 0xE5, 0x31, 0xE0, 0xE3, 0xE2, 0x2C, 0xE6, 0xE4, 0x52,  // 49..60
    0x50, 0x4F, 0x51, 0x29, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41,  // 61..72
    0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D,  // 73..84
    0x4E, 0x53, 0x54, 0x55, 0x56, 0x5F, 0x60, 0x61, 0x57, 0x5C, 0x5D, 0x5E,  // 85..96
    0x59, 0x5A, 0x5B, 0x28, 0x62, 0x63,  // ..102
    0x00,
};

const char* const KeyNameTable[kKeyIndexCount + 1] = {
    "",
    "` ",  // 1
    "1 ",  // 2
    "2 ",  // 3
    "3 ",  // 4
    "4 ",  // 5
    "5 ",  // 6
    "6 ",  // 7
    "7 ",  // 8
    "8 ",  // 9
    "9 ",  // 10
    "0 ",  // 11
    "- ",  // 12
    "= ",  // 13
    "Backspace ",  // 14
    "Tab ",  // 15
    "Q ",  // 16
    "W ",  // 17
    "E ",  // 18
    "R ",  // 19
    "T ",  // 20
    "Y ",  // 21
    "U ",  // 22
    "I ",  // 23
    "O ",  // 24
    "P ",  // 25
    "{ ",  // 26
    "} ",  // 27
    "Enter ",  // 28
    "Caps Lock ",  // 29
    "A ",  // 30
    "S ",  // 31
    "D ",  // 32
    "F ",  // 33
    "G ",  // 34
    "H ",  // 35
    "J ",  // 36
    "K ",  // 37
    "L ",  // 38
    "; ",  // 39
    "' ",  // 40
    "Shift ",  // 41
    "Z ",  // 42
    "X ",  // 43
    "C ",  // 44
    "V ",  // 45
    "B ",  // 46
    "N ",  // 47
    "M ",  // 48
    ", ",  // 49
    ". ",  // 50
    "/ ",  // 51
    "Shift ",  // 52
    "\\ ",  // 53
    "Ctrl ",  // 54
    "Win ",  // 55
    "Alt ",  // 56
    "Space ",  // 57
    "Alt ",  // 58
    "Ctrl ",  // 59
    "Up Arrow  ",  // 60
    "Left Arrow ",  // 61
    "Right Arrow ",  // 62
    "Down Arrow ",  // 63
    "Esc ",  // 64
    "F1 ",  // 65
    "F2 ",  // 66
    "F3 ",  // 67
    "F4 ",  // 68
    "F5 ",  // 69
    "F6 ",  // 70
    "F7 ",  // 71
    "F8 ",  // 72
    "F9 ",  // 73
    "F10 ",  // 74
    "F11 ",  // 75
    "F12 ",  // 76
    "Print Scr ",  // 77
    "Scroll Lock ",  // 78
    "Pause Break ",  // 79
    "Insert ",  // 80
    "Home ",  // 81
    "Page Up ",  // 82
    "Delete ",  // 83
    "End ",  // 84
    "Page Down ",  // 85
    "Num Lock ",  // 86
    "/ ",  // 87
    "* ",  // 88
    "- ",  // 89
    "7/Home ",  // 90
    "8/Up ",  // 91
    "9/Pg Up ",  // 92
    "+ ",  // 93
    "4/Left ",  // 94
    "5 ",  // 95
    "6/Right ",  // 96
    "1/End ",  // 97
    "2/Down ",  // 98
    "3/PgDn ",  // 99
    "Enter ",  // 100
    "0/Ins ",  // 101
    "./Del ",  // 102
};

const KeyButtonCaption KeyCaptionTable[kKeyIndexCount + 1] = {
    {nullptr, nullptr},
    {"~", "`"},  // 1
    {"!", "1"},  // 2
    {"@", "2"},  // 3
    {"#", "3"},  // 4
    {"$", "4"},  // 5
    {"%", "5"},  // 6
    {"^", "6"},  // 7
    {"&&", "7"},  // 8
    {"*", "8"},  // 9
    {"(", "9"},  // 10
    {")", "0"},  // 11
    {"_", "-"},  // 12
    {"+", "="},  // 13
    {"Backspace", nullptr},  // 14
    {"Tab", nullptr},  // 15
    {"Q", nullptr},  // 16
    {"W", nullptr},  // 17
    {"E", nullptr},  // 18
    {"R", nullptr},  // 19
    {"T", nullptr},  // 20
    {"Y", nullptr},  // 21
    {"U", nullptr},  // 22
    {"I", nullptr},  // 23
    {"O", nullptr},  // 24
    {"P", nullptr},  // 25
    {"{", "["},  // 26
    {"}", "]"},  // 27
    {"Enter", nullptr},  // 28
    {"Caps", nullptr},  // 29
    {"A", nullptr},  // 30
    {"S", nullptr},  // 31
    {"D", nullptr},  // 32
    {"F", nullptr},  // 33
    {"G", nullptr},  // 34
    {"H", nullptr},  // 35
    {"J", nullptr},  // 36
    {"K", nullptr},  // 37
    {"L", nullptr},  // 38
    {":", ";"},  // 39
    {"\"", "'"},  // 40
    {"Shift", nullptr},  // 41
    {"Z", nullptr},  // 42
    {"X", nullptr},  // 43
    {"C", nullptr},  // 44
    {"V", nullptr},  // 45
    {"B", nullptr},  // 46
    {"N", nullptr},  // 47
    {"M", nullptr},  // 48
    {"<", ","},  // 49
    {">", "."},  // 50
    {"?", "/"},  // 51
    {"Shift", nullptr},  // 52
    {"|", "\\"},  // 53
    {"Ctrl", nullptr},  // 54
    {nullptr, nullptr},  // 55: no button
    {"Alt", nullptr},  // 56
    {"", nullptr},  // 57
    {"Alt", nullptr},  // 58
    {"Ctrl", nullptr},  // 59
    {"Up", nullptr},  // 60
    {"Left", nullptr},  // 61
    {"Right", nullptr},  // 62
    {"Down", nullptr},  // 63
    {"Esc", nullptr},  // 64
    {"F1", nullptr},  // 65
    {"F2", nullptr},  // 66
    {"F3", nullptr},  // 67
    {"F4", nullptr},  // 68
    {"F5", nullptr},  // 69
    {"F6", nullptr},  // 70
    {"F7", nullptr},  // 71
    {"F8", nullptr},  // 72
    {"F9", nullptr},  // 73
    {"F10", nullptr},  // 74
    {"F11", nullptr},  // 75
    {"F12", nullptr},  // 76
    {"Print Scr", nullptr},  // 77
    {"Scroll Lock", nullptr},  // 78
    {"Pause Break", nullptr},  // 79
    {"Insert", nullptr},  // 80
    {"Home", nullptr},  // 81
    {"Page up", nullptr},  // 82
    {"Delete", nullptr},  // 83
    {"End", nullptr},  // 84
    {"Page Down", nullptr},  // 85
    {"Num Lock", nullptr},  // 86
    {"/", nullptr},  // 87
    {"*", nullptr},  // 88
    {"-", nullptr},  // 89
    {"    7", "Home"},  // 90
    {" 8", ""},  // 91
    {"    9", "PgUp"},  // 92
    {"+", nullptr},  // 93
    {" 4", ""},  // 94
    {"5", nullptr},  // 95
    {" 6", ""},  // 96
    {"  1", "End"},  // 97
    {" 2", ""},  // 98
    {"   3", "PgDn"},  // 99
    {"Enter", nullptr},  // 100
    {"0", "Ins"},  // 101
    {".", "Del"},  // 102
};

int KeyIndexFromCode(BYTE bCode)
{
    if (bCode == 0)
        return 0;
    for (int nIndex = 1; KeyCodeTable[nIndex] != 0; ++nIndex) {
        if (KeyCodeTable[nIndex] == bCode)
            return nIndex;
    }
    return 0;
}

BYTE KeyCodeFromIndex(int nIndex)
{
    return (nIndex >= 1 && nIndex <= kKeyIndexCount) ? KeyCodeTable[nIndex] : 0;
}

const char* KeyNameFromIndex(int nIndex)
{
    return (nIndex >= 1 && nIndex <= kKeyIndexCount) ? KeyNameTable[nIndex] : "";
}

void KeySlotName(int nSlot, char (&szName)[8])
{
    std::snprintf(szName, sizeof szName, "k%d", nSlot);
}

void KeyPlaceName(int nPlace, char (&szName)[8])
{
    std::snprintf(szName, sizeof szName, "I%d", nPlace + 1);
}
