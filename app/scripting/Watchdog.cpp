#include "Watchdog.h"
#include "HostDiagnostic.h"
#include <cstdio>

namespace daxohost {

CWatchdog::CWatchdog(unsigned limitMs, std::string message, int exitCode)
    : m_limitMs(limitMs), m_message(std::move(message)), m_exitCode(exitCode)
{
    m_finished = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_finished)
        m_thread = ::CreateThread(nullptr, 0, &CWatchdog::Watch, this, 0, nullptr);
    if (!m_thread)
        Diagnostic("Watchdog", __LINE__, "the watchdog could not be started");
}

CWatchdog::~CWatchdog()
{
    if (m_thread) {
        ::SetEvent(m_finished);
        ::WaitForSingleObject(m_thread, INFINITE);
        ::CloseHandle(m_thread);
    }
    if (m_finished)
        ::CloseHandle(m_finished);
}

DWORD WINAPI CWatchdog::Watch(LPVOID self)
{
    CWatchdog* watchdog = static_cast<CWatchdog*>(self);
    if (::WaitForSingleObject(watchdog->m_finished, watchdog->m_limitMs) != WAIT_TIMEOUT)
        return 0;
    std::fprintf(stdout, "%s\n", watchdog->m_message.c_str());
    std::fflush(stdout);
    // The user-interface thread is stuck somewhere in the module: nothing else can end it.
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(watchdog->m_exitCode));
    return 0;
}

} // namespace daxohost
