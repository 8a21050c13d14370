#pragma once
// The benchmarks' clock.
#include <windows.h>

// Milliseconds since an arbitrary start, from the performance counter.
inline double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        ::QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
