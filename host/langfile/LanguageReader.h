#pragma once
// The host's language files through C entry points, for the tester library, which is not built
// in the C++ ABI of the reader's library. Each call does what the CLanguageFile or
// CLanguageFolder member of the same name does; texts live as long as the member's do.

struct LanguageFileHandle;
struct LanguageFolderHandle;

#ifdef __cplusplus
extern "C" {
#endif
struct LanguageFileHandle* LangFileCreate(void);
void LangFileDestroy(struct LanguageFileHandle* file);
void LangFileSetPath(struct LanguageFileHandle* file, const char* path);
const char* LangFilePath(struct LanguageFileHandle* file);
int LangFileOpen(struct LanguageFileHandle* file);
void LangFileClose(struct LanguageFileHandle* file);
const char* LangFileLastError(struct LanguageFileHandle* file);
int LangFileGetTag(struct LanguageFileHandle* file, unsigned long move, const char* name);
const char* LangFileGetAttribute(struct LanguageFileHandle* file, const char* name);
const char* LangFileGetTagName(struct LanguageFileHandle* file);

struct LanguageFolderHandle* LangFolderCreate(void);
void LangFolderDestroy(struct LanguageFolderHandle* folder);
void LangFolderScan(struct LanguageFolderHandle* folder);
unsigned int LangFolderCount(struct LanguageFolderHandle* folder);
const char* LangFolderCode(struct LanguageFolderHandle* folder, unsigned int id);
const char* LangFolderFilePath(struct LanguageFolderHandle* folder, unsigned int id);
unsigned int LangFolderFind(struct LanguageFolderHandle* folder, const char* code);
#ifdef __cplusplus
}
#endif

// The cursor's moves of LangFileGetTag, as the host's language operations take them.
enum { LanguageMoveTop = 0x1, LanguageMoveFirstChild = 0x10, LanguageMoveNextSibling = 0x100 };
