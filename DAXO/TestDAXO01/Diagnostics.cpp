#include "Diagnostics.h"
#include "MyObject.h"
#include <stdio.h>

void Diagnose(const char* source, int line, const char* text) noexcept
{
    char buffer[512];
    snprintf(buffer, sizeof buffer, "%s(%d): %s\n", source ? source : "?", line, text ? text : "");
    // Whoever listens to the debug output must not turn a report into a second failure.
    try {
        CMyObject::OutputDebugStringA(buffer);
    } catch (...) {
    }
}

void DiagnoseCaughtException(const char* source, int line) noexcept
{
    // The module shares no exception class with the host or the toolkit, so there is nothing
    // to ask for a text: what reaches here is a failed allocation or a fault raised by a call
    // of the host or by the module's own code.
    try {
        throw;
    } catch (...) {
        Diagnose(source, line, "exception: out of memory or a fault of the module or the host");
    }
}
