#pragma once

#include <windows.h>

// Creates HKEY_CLASSES_ROOT\pszKey[\pszSubkey] and, with a value text, sets the REG_SZ value
// pszValueName (null = default value). TRUE when the key was created and the value (if any)
// was set.
BOOL SetClassesRootValue(const char* pszKey, const char* pszSubkey, const char* pszValueName,
                         const char* pszValueText);

// "CLSID\{...}" of the sheet's class, in the ANSI code page.
bool ClassKeyText(char* pszKey, size_t cchKey);
