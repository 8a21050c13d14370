#pragma once
// What the host application asks of the file system.
#include <windows.h>
#include <string>

namespace daxohost {

// A file (not a folder) at `path`.
inline bool FileExists(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace daxohost
