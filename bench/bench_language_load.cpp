// How long the host takes to open language files of the shapes that cost the reader most: many
// distinct names (each must be found among those already seen), and files at the size limit.
// A speed figure only; it asserts nothing.
#include "Clock.h"
#include "LanguageFile.h"
#include <windows.h>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// <TesterLanguage> with `count` empty tags of distinct names, or up to `bytes` of them.
std::string DistinctNames(unsigned long count, size_t bytes)
{
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage>\n";
    char tag[32];
    for (unsigned long i = 0; i < count && file.size() + 32 < bytes; ++i) {
        std::snprintf(tag, sizeof tag, "<n%07lu/>\n", i);
        file += tag;
    }
    return file + "</TesterLanguage>\n";
}

// One message whose text of `character` fills the file.
std::string OneLongText(size_t bytes, const std::string& character = "x")
{
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage><Message>"
                       "<MessageItem ID=\"20\" text=\"";
    for (size_t end = bytes - 64; file.size() + character.size() <= end;)
        file += character;
    return file + "\"/></Message></TesterLanguage>\n";
}

void Measure(const char* shape, const std::string& content)
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "daxo-bench-language.xml";
    std::ofstream(path, std::ios::binary) << content;
    CLanguageFile file;
    file.SetPath(path.c_str());
    double start = Now();
    bool opened = file.Open();
    double took = Now() - start;
    std::printf("%-34s %8.1f MB  %9.0f ms  %s\n", shape, static_cast<double>(content.size()) / 1e6, took,
                opened ? "opened" : file.LastError());
    ::DeleteFileA(path.c_str());
}

} // namespace

int main()
{
    const size_t limit = CLanguageFile::kMaxFileSize;
    Measure("200,000 distinct names", DistinctNames(200000, limit));
    Measure("distinct names up to the limit", DistinctNames(~0ul, limit - 64));
    Measure("one text up to the limit", OneLongText(limit - 64));
    // Every character beyond ASCII reaches the XML reader as a reference, of up to 32 bytes.
    Measure("one text of \"\xC5\xBE\" up to the limit", OneLongText(limit - 64, "\xC5\xBE"));
    Measure("one text of U+1F600 up to the limit", OneLongText(limit - 64, "\xF0\x9F\x98\x80"));
    return 0;
}
