#pragma once
// Export switch of the dialog toolkit library (quillet.dll).
#ifdef QUILLET_BUILD
#define QUILLET_API __declspec(dllexport)
#else
#define QUILLET_API __declspec(dllimport)
#endif
