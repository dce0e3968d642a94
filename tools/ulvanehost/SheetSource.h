#pragma once

// Where the host gets its sheet object: from a loaded Ulvane.dll through its exports, or,
// in ulvanehost_fake, from the linked-in objects with a fake pad installed.
#include "GameCtrlPropSheet.h"

#include <string>

class SheetSource {
public:
    SheetSource();
    ~SheetSource();
    SheetSource(const SheetSource&) = delete;
    SheetSource& operator=(const SheetSource&) = delete;

    // A new, initialised sheet object (the caller releases it), or null (see Error()).
    IDIGameCntrlPropSheet* Create(const std::string& dllPath);
    const std::string& Error() const { return m_error; }

private:
    struct Fakes;
    HMODULE m_hDll = nullptr;
    Fakes* m_pFakes = nullptr;
    std::string m_error;
};
