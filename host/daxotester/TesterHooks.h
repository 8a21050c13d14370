#pragma once
// What the host application learns of its tester, and the tester it makes for itself, through C
// entry points: the application is not built in the C++ ABI of the tester's classes.

// What the host application learns of its tester's work for a module, beside the reports: the
// image read by CheckEEPROM (null when the read failed), each record handed to WriteConfig, and
// each look into the cached image (the offset as the length, the place handed out as the data).
enum TesterEventKind { TesterEventImageRead = 1, TesterEventWrite = 2, TesterEventCacheRead = 3 };
typedef void (*TesterEventSink)(void* context, int kind, const unsigned char* data, int length, int result);

#ifdef __cplusplus
extern "C" {
#endif
// One sink for the process, as for the reports; null stops the events.
void DaxoTesterSetEventSink(TesterEventSink sink, void* context);
// Why the last LanguageFileOpen of `test` (a module's test object) failed; empty after one that
// succeeded; null when `test` is no tester of this library.
const char* DaxoTesterLanguageFileError(void* test);
// A bare tester of the host's own, with the host's texts only; its virtual table has the rows of
// every test object. Freed with DaxoTesterDestroy.
void* DaxoTesterCreate(void);
void DaxoTesterDestroy(void* tester);
#ifdef __cplusplus
}
#endif
