#include "MyObject.h"
#include "DebugSink.h"
#include <windows.h>

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

void QuilletSetDebugSink(DebugSink sink, void* context)
{
    g_sinkContext = context;
    g_sink = sink;
}

void QuilletDebugOutput(const char* text) { CMyObject::OutputDebugStringA(text); }
