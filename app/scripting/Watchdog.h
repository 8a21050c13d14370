#pragma once
// The last guard of an unattended run: ends the process with a message when the run has not
// finished within its time, whatever the module is doing.
#include <windows.h>
#include <string>

namespace daxohost {

class CWatchdog {
public:
    CWatchdog(unsigned limitMs, std::string message, int exitCode);
    ~CWatchdog();   // the run finished in time
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

private:
    static DWORD WINAPI Watch(LPVOID self);

    unsigned m_limitMs;
    std::string m_message;
    int m_exitCode;
    HANDLE m_finished = nullptr;
    HANDLE m_thread = nullptr;
};

} // namespace daxohost
