#pragma once
// The toolkit's debug output as a host application reaches it, whatever compiler built it.

// Receives every diagnostic passed to the debug output; the debug output itself always gets
// them too.
typedef void (*DebugSink)(void* context, const char* text);

#ifdef __cplusplus
extern "C" {
#endif
// One sink for the process; null stops it.
void QuilletSetDebugSink(DebugSink sink, void* context);
// What CMyObject::OutputDebugStringA does, for callers outside the toolkit's classes.
void QuilletDebugOutput(const char* text);
#ifdef __cplusplus
}
#endif
