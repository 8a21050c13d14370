#pragma once
// Export switch of the language-file reader's library (langfile.dll).
#ifdef LANGFILE_BUILD
#define LANGFILE_API __declspec(dllexport)
#else
#define LANGFILE_API __declspec(dllimport)
#endif
