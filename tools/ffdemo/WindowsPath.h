#pragma once

#include <string>

// A path as a program in the build tree's Wine prefix sees it: a Unix path from the build
// reaches Windows through drive Z:, which maps the Unix root; any other path is kept.
inline std::string WindowsPath(const char* pszPath)
{
    std::string path = pszPath[0] == '/' ? std::string("Z:") + pszPath : std::string(pszPath);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
