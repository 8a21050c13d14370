#include "MyObject.h"
#include <windows.h>
#include <cstdio>

namespace {
// Written by the host before it loads test modules; read on any thread afterwards.
DebugSink g_sink = nullptr;
void* g_sinkContext = nullptr;
}

CMyObject::CMyObject() = default;
CMyObject::~CMyObject() = default;

void CMyObject::OutputDebugStringA(const char* text)
{
    if (!text)
        return;
    ::OutputDebugStringA(text);
    if (g_sink)
        g_sink(g_sinkContext, text);
}

void CMyObject::Diagnostic(const char* source, int line, const char* text)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%s(%d): %s\n", source ? source : "?", line, text ? text : "");
    OutputDebugStringA(buffer);
}

void CMyObject::SetDebugSink(DebugSink sink, void* context)
{
    g_sinkContext = context;
    g_sink = sink;
}
