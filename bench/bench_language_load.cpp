// How long the host takes to open language files of the shapes that cost the reader most: many
// distinct names (each must be found among those already seen), files at the size limit, and
// many dialog items among many other tags, which the translator's check walks one by one.
// A speed figure only; it asserts nothing.
#include "Clock.h"
#include "LanguageCheck.h"
#include "LanguageFile.h"
#include <windows.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

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

// `items` dialog items up to the limit, each with one control and followed by `others` empty tags.
std::string DialogItemsAmongOthers(unsigned long items, unsigned long others)
{
    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage><Message>"
                       "<MessageItem ID=\"20\" text=\"x\"/></Message><Dialog>\n";
    std::string between;
    for (unsigned long i = 0; i < others; ++i)
        between += "<a/>";
    for (unsigned long i = 0; i < items; ++i)
        file += "<DialogItem ID=\"" + std::to_string(3000 + i) + "\" text=\"d\"><ControlItem ID=\"1\" text=\"c\"/></DialogItem>" +
                between + "\n";
    return file + "</Dialog></TesterLanguage>\n";
}

// Milliseconds of CPU the process has used, in user and kernel mode.
double CpuTime()
{
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

void Print(const char* shape, const std::string& content, double wall, double cpu, const std::string& outcome)
{
    std::printf("%-44s %8.1f MB  %9.0f ms  %9.0f ms CPU  %s\n", shape, static_cast<double>(content.size()) / 1e6, wall, cpu,
                outcome.c_str());
}

std::string Written(const std::string& content)
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "daxo-bench-language.xml";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

void Measure(const char* shape, const std::string& content)
{
    const std::string path = Written(content);
    CLanguageFile file;
    file.SetPath(path.c_str());
    double start = Now(), cpu = CpuTime();
    bool opened = file.Open();
    Print(shape, content, Now() - start, CpuTime() - cpu, opened ? "opened" : file.LastError());
    ::DeleteFileA(path.c_str());
}

// What --check-lang reads of the file: the open and the walk over every item.
void MeasureCheck(const char* shape, const std::string& content)
{
    const std::string path = Written(content);
    std::vector<daxohost::LanguageText> texts;
    std::string error;
    double start = Now(), cpu = CpuTime();
    bool read = daxohost::ReadLanguageTexts(path, &texts, &error);
    Print(shape, content, Now() - start, CpuTime() - cpu, read ? std::to_string(texts.size()) + " texts" : error);
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
    // The check walks the dialog items; twice the items must take twice the time, not four times.
    const unsigned long items = 9990, others = 350;
    const std::string half = DialogItemsAmongOthers(items / 2, others), full = DialogItemsAmongOthers(items, others);
    Measure("4,995 dialog items among 350 tags each", half);
    Measure("9,990 dialog items among 350 tags each", full);
    MeasureCheck("the check's reading of 4,995 of them", half);
    MeasureCheck("the check's reading of 9,990 of them", full);
    return 0;
}
