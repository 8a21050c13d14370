#pragma once
// Where the host application receives the reports of SendTestResult, whatever compiler built it.

typedef void (*TestResultSink)(void* context, void* window, const char* heading, const char* line,
                               int flag, unsigned char code, unsigned short reserved);

#ifdef __cplusplus
extern "C" {
#endif
// One sink for the process; null stops it.
void PrubelSetTestResultSink(TestResultSink sink, void* context);
#ifdef __cplusplus
}
#endif
