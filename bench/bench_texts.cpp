// How fast the host opens a large language file, and how fast the module finds the texts of
// its configuration dialog in it: the work done each time the dialog opens.
#include "Clock.h"
#include "TestDAXO01.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kItems = 10000;
const int kHostDialogs = 400;
const int kControlsPerHostDialog = 9;
const unsigned int kDialog2020Controls[] = {32815, 32816, 32817, 32818, 32819, 32820, 32821, 32822, 32823,
                                            32824, 32825, 32826, 32827, 2,     32788, 32789, 32830};

std::string Item(const char* tag, unsigned int id, const std::string& text, bool close = true)
{
    return std::string("<") + tag + " ID=\"" + std::to_string(id) + "\" text=\"" + text + (close ? "\"/>\n" : "\">\n");
}

// A host's file: its own messages and dialogs first, the module's at the end of each section,
// where the walk of the module is longest. Czech texts with line breaks, as real files have.
// Answers the number of items written.
int WriteLanguageFile(const std::string& path)
{
    const std::string text = "Zpr\xC3\xA1va hostitele \xC4\x8D\xC3\xADslo&#10;&#9;s odsazen\xC3\xADm";
    std::string dialogs = "<Dialog>\n";
    int items = 0;
    for (int d = 0; d < kHostDialogs; ++d, ++items) {
        dialogs += Item("DialogItem", 3000 + d, "Dialog " + std::to_string(d), false);
        for (int c = 0; c < kControlsPerHostDialog; ++c, ++items)
            dialogs += "  " + Item("ControlItem", 1000 + c, text);
        dialogs += "</DialogItem>\n";
    }
    for (unsigned int d = 2020; d <= 2022; ++d, ++items) {
        dialogs += Item("DialogItem", d, "Konfigurace " + std::to_string(d), false);
        for (unsigned int control : kDialog2020Controls) {
            dialogs += "  " + Item("ControlItem", control, "Popis " + std::to_string(control));
            ++items;
        }
        dialogs += "</DialogItem>\n";
    }
    dialogs += "</Dialog>\n";

    std::string file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage>\n<Message>\n";
    for (unsigned int id = 1000; items < kItems - 27; ++id, ++items)
        file += Item("MessageItem", id, text);
    for (unsigned int id = 20; id <= 46; ++id, ++items)
        file += Item("MessageItem", id, text);
    file += "</Message>\n" + dialogs + "</TesterLanguage>\n";
    std::ofstream(path, std::ios::binary) << file;
    return items;
}

struct Figures {
    double best, median, worst;
};

template <typename Action>
Figures Measure(int runs, Action action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        action();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times.back()};
}

// One opening of the configuration dialog: its caption and the 17 texts it sets.
size_t OpenDialog2020(CTestDAXO01& test)
{
    size_t length = std::string(test.GetDialogName(2020)).size();
    for (unsigned int control : kDialog2020Controls)
        length += std::string(test.GetDialogControlName(2020, control)).size();
    return length;
}

void Print(const char* what, const Figures& figures, double target)
{
    std::printf("%-44s best %8.3f ms  median %8.3f ms  worst %8.3f ms  (target < %g ms: %s)\n", what, figures.best,
                figures.median, figures.worst, target, figures.median < target ? "met" : "MISSED");
}

} // namespace

int main()
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "bench_texts.xml";
    int items = WriteLanguageFile(path);
    std::ifstream written(path, std::ios::binary | std::ios::ate);
    std::printf("language file: %d items, %ld bytes, %s\n", items, static_cast<long>(written.tellg()), path.c_str());

    CTestDAXO01 test(nullptr);
    test.SetLanguageFile(path.c_str());
    if (!test.LanguageFileOpen()) {
        std::printf("the language file could not be opened\n");
        return 1;
    }
    Print("LanguageFileOpen (10,000 items)", Measure(20, [&] { test.LanguageFileOpen(); }), 100.0);

    size_t sink = 0;
    Print("dialog 2020 texts from the file (18 look-ups)", Measure(200, [&] { sink += OpenDialog2020(test); }), 2.0);
    test.LanguageFileClose();
    Print("dialog 2020 texts without a file", Measure(200, [&] { sink += OpenDialog2020(test); }), 2.0);
    ::DeleteFileA(path.c_str());
    return sink ? 0 : 1;
}
