#include "BenchSnapshot.h"
#include <windows.h>
#include <atomic>

namespace {

// A name is never reused within the process: the INI functions may keep a file they read by
// its name and time, and two loads within one tick of the clock would then read stale values.
std::atomic<unsigned long> g_snapshots{0};
const int kNameAttempts = 16;   // names left behind by an earlier process of the same id

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const size_t chunk = bytes.size() - written;
        DWORD part = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk > MAXDWORD ? MAXDWORD : static_cast<DWORD>(chunk), &part,
                         nullptr) || part == 0)
            return false;
        written += part;
    }
    return true;
}

} // namespace

BenchSnapshot::BenchSnapshot(const std::string& bytes, const std::string& fallback) : m_path(fallback)
{
    char folder[MAX_PATH];
    const DWORD length = ::GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string path = std::string(folder) + "daxo-bench-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(++g_snapshots) + ".ini";
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        const bool whole = WriteAll(file, bytes);
        ::CloseHandle(file);
        if (whole) {
            m_path = path;
            m_owned = true;
        } else {
            ::DeleteFileA(path.c_str());
        }
        return;
    }
}

BenchSnapshot::~BenchSnapshot()
{
    if (m_owned)
        ::DeleteFileA(m_path.c_str());
}
