#include "FileIdentity.h"
#include <windows.h>
#include <string>

namespace daxohost {

namespace {

struct Identity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const Identity& other) const
    {
        return volume == other.volume && high == other.high && low == other.low;
    }
};

// Folders open only with backup semantics; nothing is read or written.
bool IdentityOf(const std::string& path, Identity* identity)
{
    HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    BOOL ok = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!ok)
        return false;
    *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

} // namespace

std::string FullPath(const std::string& path)
{
    if (path.empty())
        return path;
    DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::string full(needed, '\0');
    DWORD length = ::GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    return full;
}

std::string FolderOf(const std::string& path)
{
    const std::string full = FullPath(path);
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : full.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
    const std::string full = FullPath(path);
    return full.substr(full.find_last_of("\\/") + 1);
}

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    if (EqualIgnoringCase(FullPath(a), FullPath(b)))
        return true;
    Identity first, second;
    const bool firstExists = IdentityOf(a, &first), secondExists = IdentityOf(b, &second);
    if (firstExists && secondExists)
        return first == second;
    if (firstExists != secondExists)
        return false;
    return EqualIgnoringCase(NameOf(a), NameOf(b)) && IdentityOf(FolderOf(a), &first) &&
           IdentityOf(FolderOf(b), &second) && first == second;
}

} // namespace daxohost
