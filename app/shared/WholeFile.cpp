#include "WholeFile.h"
#include "FileIdentity.h"
#include "SystemText.h"
#include <windows.h>
#include <algorithm>

namespace daxohost {

namespace {

const char kTemporaryPrefix[] = "dxo";
const size_t kTemporaryRoom = MAX_PATH - 14;
// WriteFile takes a DWORD; a chunk of this size keeps every count far from its limit.
const size_t kWriteChunk = 1u << 20;

bool Said(std::string* reason, const std::string& text)
{
    *reason = text;
    return false;
}

bool WriteBytes(const std::string& path, const std::string& bytes, std::string* reason)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Said(reason, SystemErrorText(::GetLastError(), path));
    bool ok = true;
    for (size_t at = 0; ok && at < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min(kWriteChunk, bytes.size() - at));
        DWORD written = 0;
        ok = ::WriteFile(file, bytes.data() + at, chunk, &written, nullptr) && written == chunk;
        at += written;
    }
    ok = ok && ::FlushFileBuffers(file);
    const DWORD error = ok ? ERROR_SUCCESS : ::GetLastError();
    ok = ::CloseHandle(file) && ok;
    if (!ok)
        return Said(reason, SystemErrorText(error != ERROR_SUCCESS ? error : ::GetLastError(), path));
    return true;
}

} // namespace

bool WriteWholeFile(const std::string& path, const FileFiller& fill, Existing existing, std::string* reason)
{
    const std::string folder = FolderOf(path);
    char temporary[MAX_PATH + 1] = {};
    // GetTempFileName adds a name of up to 14 characters to the folder and takes no longer path.
    if (folder.size() >= kTemporaryRoom)
        return Said(reason, SystemErrorText(ERROR_FILENAME_EXCED_RANGE, folder));
    if (!::GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, temporary))
        return Said(reason, SystemErrorText(::GetLastError(), folder));
    std::string why;
    bool filled = fill(temporary, &why);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (existing == Existing::Replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (filled && !::MoveFileExA(temporary, path.c_str(), flags)) {
        why = SystemErrorText(::GetLastError(), path);
        filled = false;
    }
    if (!filled) {
        ::DeleteFileA(temporary);
        return Said(reason, why);
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes, Existing existing, std::string* reason)
{
    return WriteWholeFile(
        path, [&bytes](const std::string& temporary, std::string* why) { return WriteBytes(temporary, bytes, why); },
        existing, reason);
}

} // namespace daxohost
