#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A program file's version resource, read back the way the shell reads it (link with version).
class VersionResource {
public:
    explicit VersionResource(const char* pszFile)
    {
        const DWORD cbInfo = GetFileVersionInfoSizeA(pszFile, nullptr);
        info.resize(cbInfo);
        if (cbInfo == 0 || !GetFileVersionInfoA(pszFile, 0, cbInfo, info.data()))
            info.clear();
    }

    // The fixed part's file and product versions as "a.b.c.d", or "(missing)".
    std::string FileVersion() const
    {
        const VS_FIXEDFILEINFO* pFixed = FixedPart();
        return pFixed ? Dotted(pFixed->dwFileVersionMS, pFixed->dwFileVersionLS) : "(missing)";
    }
    std::string ProductVersion() const
    {
        const VS_FIXEDFILEINFO* pFixed = FixedPart();
        return pFixed ? Dotted(pFixed->dwProductVersionMS, pFixed->dwProductVersionLS)
                      : "(missing)";
    }

    // A text of the US English, Unicode string table, or "(missing)".
    std::string Text(const char* pszName) const
    {
        char* pValue = nullptr;
        UINT cchValue = 0;
        const std::string path = std::string("\\StringFileInfo\\040904b0\\") + pszName;
        if (info.empty() || !VerQueryValueA(info.data(), path.c_str(),
                                            reinterpret_cast<void**>(&pValue), &cchValue))
            return "(missing)";
        return pValue;
    }

private:
    const VS_FIXEDFILEINFO* FixedPart() const
    {
        VS_FIXEDFILEINFO* pFixed = nullptr;
        UINT cbFixed = 0;
        if (info.empty() ||
            !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&pFixed), &cbFixed) ||
            cbFixed < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return pFixed;
    }

    static std::string Dotted(DWORD dwMs, DWORD dwLs)
    {
        return std::to_string(HIWORD(dwMs)) + "." + std::to_string(LOWORD(dwMs)) + "." +
               std::to_string(HIWORD(dwLs)) + "." + std::to_string(LOWORD(dwLs));
    }

    std::vector<char> info;
};
