#pragma once
#ifdef DAXOTESTER_BUILD
#define DAXOTESTER_API __declspec(dllexport)
#else
#define DAXOTESTER_API __declspec(dllimport)
#endif
