#pragma once
#ifdef PRUBEL_BUILD
#define PRUBEL_API __declspec(dllexport)
#else
#define PRUBEL_API __declspec(dllimport)
#endif
