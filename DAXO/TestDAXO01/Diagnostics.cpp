#include "Diagnostics.h"
#include "MyObject.h"
#include <cstdio>
#include <exception>

void Diagnose(const char* source, int line, const char* text) noexcept
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%s(%d): %s\n", source ? source : "?", line, text ? text : "");
    // Whoever listens to the debug output must not turn a report into a second failure.
    try {
        CMyObject::OutputDebugStringA(buffer);
    } catch (...) {
    }
}

void DiagnoseCaughtException(const char* source, int line) noexcept
{
    try {
        throw;
    } catch (const std::exception& error) {
        Diagnose(source, line, error.what());
    } catch (...) {
        Diagnose(source, line, "unknown exception");
    }
}
