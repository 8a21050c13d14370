#pragma once
#include "QuilletApi.h"

// Receives every diagnostic the toolkit passes to the debug output, so that a host or a
// test can show or check them; the debug output itself always gets them too.
typedef void (*DebugSink)(void* context, const char* text);

class QUILLET_API CMyObject {
public:
    CMyObject();
    virtual ~CMyObject();

    static void OutputDebugStringA(const char* text);
    static void SetDebugSink(DebugSink sink, void* context);
};
