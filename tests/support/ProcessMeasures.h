#pragma once
// What a leak of windows, handles or GDI objects grows, in measures that Wine counts as well as
// Windows does. Under Wine GetGuiResources and GetProcessHandleCount answer 0, so windows are
// counted by enumeration, and where the system counts nothing, kernel handles by asking about
// every low handle value and GDI objects by asking for the type of every slot of the GDI table
// (Wine takes a handle without its upper word as that slot's object).
#include <gtest/gtest.h>
#include <windows.h>

namespace daxotest {

struct ProcessMeasures {
    int windows = 0;         // the process's top-level and message-only windows and all their descendants
    DWORD handles = 0;       // kernel handles
    DWORD gdiObjects = 0;    // 0 when no measure answers

    static ProcessMeasures Now()
    {
        ProcessMeasures now;
        ::EnumWindows(&CountOwnWindow, reinterpret_cast<LPARAM>(&now.windows));
        // EnumWindows passes over message-only windows, such as a timer's.
        for (HWND window = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
             window = ::FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
            CountOwnWindow(window, reinterpret_cast<LPARAM>(&now.windows));
        ::GetProcessHandleCount(::GetCurrentProcess(), &now.handles);
        DWORD flags = 0;
        if (now.handles == 0)
            for (ULONG_PTR value = 4; value < 0x4000; value += 4)
                if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
                    ++now.handles;
        now.gdiObjects = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
        if (now.gdiObjects == 0)
            for (ULONG_PTR slot = 1; slot < 0x10000; ++slot)
                if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0)
                    ++now.gdiObjects;
        return now;
    }

private:
    static BOOL CALLBACK CountWindow(HWND, LPARAM count)
    {
        ++*reinterpret_cast<int*>(count);
        return TRUE;
    }
    static BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count)
    {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId()) {
            ++*reinterpret_cast<int*>(count);
            ::EnumChildWindows(window, &CountWindow, count);
        }
        return TRUE;
    }
};

// Nothing may grow between the two measures but `handleSlack` handles and two GDI objects (the
// system's own caches). Where nothing counts GDI objects the test is skipped after the rest has
// been checked, saying so.
inline void ExpectNoLeak(const ProcessMeasures& before, const ProcessMeasures& after, DWORD handleSlack)
{
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.handles, before.handles + handleSlack);
    if (before.gdiObjects == 0)
        GTEST_SKIP() << "no measure of GDI objects answers here; windows and handles were checked";
    EXPECT_LE(after.gdiObjects, before.gdiObjects + 2);
}

} // namespace daxotest
