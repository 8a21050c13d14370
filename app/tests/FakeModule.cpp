// Libraries named TestDAXO01.dll that are not the module: the host must refuse each of them
// with its own message and exit code, and never call into them further than it may.
#include <windows.h>
#include <cstdint>

#if defined(FAKE_CRASHES) || defined(FAKE_DLLMAIN)
volatile std::uintptr_t g_nowhere = 16;
#endif

#if defined(FAKE_EXPORTS_ID)
extern "C" __declspec(dllexport) unsigned short _GetTestInstanceID(void)
{
    return FAKE_MODULE_ID;
}
#elif defined(FAKE_CRASHES)
#include <stdexcept>
// A module with a fault of its own: the host must say so and end with its crash code.
extern "C" __declspec(dllexport) unsigned short _GetTestInstanceID(void)
{
#if FAKE_CRASHES == 1
    return *reinterpret_cast<volatile unsigned short*>(g_nowhere);
#else
    throw std::runtime_error("a fault of the module");
#endif
}
#elif defined(FAKE_LOOPS)
// A module that never answers: whoever asks it must stop waiting on its own.
extern "C" __declspec(dllexport) unsigned short _GetTestInstanceID(void)
{
    for (;;)
        ::Sleep(1000);
}
#endif

#if defined(FAKE_DLLMAIN)
// A fault or an endless wait before any export can be asked: while Windows loads it.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
#if FAKE_DLLMAIN == 1
        *reinterpret_cast<volatile int*>(g_nowhere) = 0;
#else
        for (;;)
            ::Sleep(1000);
#endif
    }
    return TRUE;
}
#endif

#if defined(FAKE_EXPORTS_INSTANCE)
// A host that called this without checking the identifier first would get nothing to use.
extern "C" __declspec(dllexport) void* _GetTestInstance(void)
{
    return nullptr;
}
#endif

// The names without the leading underscore are not what a host looks for.
extern "C" __declspec(dllexport) int GetTestInstance(void)
{
    return 0;
}
