#pragma once
// Export switch of the simulated bench's library (simbench.dll).
#ifdef SIMBENCH_BUILD
#define SIMBENCH_API __declspec(dllexport)
#else
#define SIMBENCH_API __declspec(dllimport)
#endif
