// Libraries named TestDAXO01.dll that are not the module: the host must refuse each of them
// with its own message and exit code, and never call into them further than it may.

#if defined(FAKE_EXPORTS_ID)
extern "C" __declspec(dllexport) unsigned short _GetTestInstanceID(void)
{
    return FAKE_MODULE_ID;
}
#elif defined(FAKE_CRASHES)
#include <cstdint>
#include <stdexcept>
// A module with a fault of its own: the host must say so and end with its crash code.
volatile std::uintptr_t g_nowhere = 16;
extern "C" __declspec(dllexport) unsigned short _GetTestInstanceID(void)
{
#if FAKE_CRASHES == 1
    return *reinterpret_cast<volatile unsigned short*>(g_nowhere);
#else
    throw std::runtime_error("a fault of the module");
#endif
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
