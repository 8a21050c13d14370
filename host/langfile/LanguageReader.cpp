#include "LanguageReader.h"
#include "LanguageFile.h"
#include "LanguageFolder.h"

// The handles are the reader's own objects; the C side only ever holds them.
struct LanguageFileHandle : CLanguageFile {};
struct LanguageFolderHandle : CLanguageFolder {};

static_assert(static_cast<unsigned long>(LanguageMoveTop) == CLanguageFile::MoveTop &&
                  static_cast<unsigned long>(LanguageMoveFirstChild) == CLanguageFile::MoveFirstChild &&
                  static_cast<unsigned long>(LanguageMoveNextSibling) == CLanguageFile::MoveNextSibling,
              "the moves are the reader's");

namespace {
// No exception may cross into a caller built in another C++ ABI, and a null handle (an object
// that could not be made) answers nothing: the tester then works without a language file.
template <typename Handle, typename Result, typename Call>
Result Guarded(Handle* handle, Result nothing, Call call)
{
    if (!handle)
        return nothing;
    try {
        return call(*handle);
    } catch (...) {
        return nothing;
    }
}

template <typename Handle>
Handle* Created()
{
    try {
        return new Handle;
    } catch (...) {
        return nullptr;
    }
}
} // namespace

LanguageFileHandle* LangFileCreate(void) { return Created<LanguageFileHandle>(); }
void LangFileDestroy(LanguageFileHandle* file) { delete file; }

void LangFileSetPath(LanguageFileHandle* file, const char* path)
{
    Guarded(file, 0, [path](CLanguageFile& f) { return f.SetPath(path), 0; });
}

const char* LangFilePath(LanguageFileHandle* file)
{
    return Guarded(file, "", [](CLanguageFile& f) { return f.Path(); });
}

int LangFileOpen(LanguageFileHandle* file)
{
    return Guarded(file, 0, [](CLanguageFile& f) { return f.Open() ? 1 : 0; });
}

void LangFileClose(LanguageFileHandle* file)
{
    Guarded(file, 0, [](CLanguageFile& f) { return f.Close(), 0; });
}

const char* LangFileLastError(LanguageFileHandle* file)
{
    return Guarded(file, "the language file's reader could not be made",
                   [](CLanguageFile& f) { return f.LastError(); });
}

int LangFileGetTag(LanguageFileHandle* file, unsigned long move, const char* name)
{
    return Guarded(file, 0, [move, name](CLanguageFile& f) { return f.GetTag(move, name); });
}

const char* LangFileGetAttribute(LanguageFileHandle* file, const char* name)
{
    return Guarded(file, static_cast<const char*>(nullptr), [name](CLanguageFile& f) { return f.GetAttribute(name); });
}

const char* LangFileGetTagName(LanguageFileHandle* file)
{
    return Guarded(file, static_cast<const char*>(nullptr), [](CLanguageFile& f) { return f.GetTagName(); });
}

LanguageFolderHandle* LangFolderCreate(void) { return Created<LanguageFolderHandle>(); }
void LangFolderDestroy(LanguageFolderHandle* folder) { delete folder; }

void LangFolderScan(LanguageFolderHandle* folder)
{
    Guarded(folder, 0, [](CLanguageFolder& f) { return f.Scan(), 0; });
}

unsigned int LangFolderCount(LanguageFolderHandle* folder)
{
    return Guarded(folder, 0u, [](CLanguageFolder& f) { return f.Count(); });
}

const char* LangFolderCode(LanguageFolderHandle* folder, unsigned int id)
{
    return Guarded(folder, static_cast<const char*>(nullptr), [id](CLanguageFolder& f) { return f.Code(id); });
}

const char* LangFolderFilePath(LanguageFolderHandle* folder, unsigned int id)
{
    return Guarded(folder, static_cast<const char*>(nullptr), [id](CLanguageFolder& f) { return f.FilePath(id); });
}

unsigned int LangFolderFind(LanguageFolderHandle* folder, const char* code)
{
    return Guarded(folder, 0u, [code](CLanguageFolder& f) { return f.Find(code); });
}
