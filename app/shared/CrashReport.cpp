#include "CrashReport.h"
#include "HostContract.h"
#include <windows.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>

namespace daxohost {

namespace {

// Nothing here may allocate: the heap may be what broke.
void Say(const char* text)
{
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

[[noreturn]] void End()
{
    ::TerminateProcess(::GetCurrentProcess(), kExitCrashed);
    ::ExitProcess(kExitCrashed);
}

const char* CodeName(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "division by zero";
    case EXCEPTION_IN_PAGE_ERROR: return "page not readable";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "misaligned data";
    default: return "exception";
    }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
    const DWORD code = record ? record->ExceptionCode : 0;
    void* address = record ? record->ExceptionAddress : nullptr;
    // Which library the address belongs to tells the module's fault from the host's.
    char path[MAX_PATH] = "";
    HMODULE module = nullptr;
    ULONG_PTR offset = 0;
    if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             static_cast<LPCSTR>(address), &module) &&
        ::GetModuleFileNameA(module, path, sizeof path) > 0)
        offset = reinterpret_cast<ULONG_PTR>(address) - reinterpret_cast<ULONG_PTR>(module);
    const char* name = std::strrchr(path, '\\') ? std::strrchr(path, '\\') + 1 : path;
    char text[MAX_PATH + 200];
    std::snprintf(text, sizeof text, "daxohost: crashed: %s 0x%08lX at address %p (%s+0x%llX); exit code %d\n",
                  CodeName(code), static_cast<unsigned long>(code), address, *name ? name : "?",
                  static_cast<unsigned long long>(offset), kExitCrashed);
    Say(text);
    End();
}

[[noreturn]] void OnTerminate()
{
    char text[160];
    std::snprintf(text, sizeof text, "daxohost: crashed: a C++ exception that nobody caught; exit code %d\n",
                  kExitCrashed);
    Say(text);
    End();
}

void OnAbort(int)
{
    char text[160];
    std::snprintf(text, sizeof text, "daxohost: crashed: aborted; exit code %d\n", kExitCrashed);
    Say(text);
    End();
}

} // namespace

void InstallCrashReport()
{
    ::SetUnhandledExceptionFilter(&OnUnhandledException);
    // A stack overflow leaves the filter no stack of its own to write the report with.
    ULONG reserve = 32 * 1024;
    ::SetThreadStackGuarantee(&reserve);
    std::set_terminate(&OnTerminate);
    std::signal(SIGABRT, &OnAbort);
    // No system box waits for an operator who may not be there: the report above says it.
    ::SetErrorMode(::GetErrorMode() | SEM_NOGPFAULTERRORBOX);
}

} // namespace daxohost
