#pragma once
#ifdef TARLEX_BUILD
#define TARLEX_API __declspec(dllexport)
#else
#define TARLEX_API __declspec(dllimport)
#endif
