#include "LanguageFolder.h"
#include <windows.h>
#include <algorithm>
#include <cstring>

std::string CLanguageFolder::Folder()
{
    char buffer[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("DAXO_LANG_DIR", buffer, sizeof buffer);
    if (length > 0 && length < sizeof buffer)
        return std::string(buffer, length);
    length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string folder(buffer, length < sizeof buffer ? length : 0);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + "lang";
}

void CLanguageFolder::Scan()
{
    m_folder = Folder();
    std::vector<std::string> codes;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((m_folder + "\\*.xml").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            // The pattern also matches longer extensions through their short names.
            size_t length = std::strlen(found.cFileName);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && length > 4 &&
                ::lstrcmpiA(found.cFileName + length - 4, ".xml") == 0)
                codes.emplace_back(found.cFileName, length - 4);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    std::sort(codes.begin(), codes.end(),
              [](const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    m_codes = codes;
    m_paths.clear();
    for (const std::string& code : m_codes)
        m_paths.push_back(m_folder + "\\" + code + ".xml");
}

const char* CLanguageFolder::Code(unsigned int id) const
{
    return id >= 1 && id <= Count() ? m_codes[id - 1].c_str() : nullptr;
}

const char* CLanguageFolder::FilePath(unsigned int id) const
{
    return id >= 1 && id <= Count() ? m_paths[id - 1].c_str() : nullptr;
}

unsigned int CLanguageFolder::Find(const char* code) const
{
    if (!code || !*code)
        return 0;
    for (unsigned int id = 1; id <= Count(); ++id)
        if (::lstrcmpiA(m_codes[id - 1].c_str(), code) == 0)
            return id;
    return 0;
}
