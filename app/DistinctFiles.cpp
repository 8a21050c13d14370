#include "DistinctFiles.h"
#include "FileIdentity.h"
#include <windows.h>
#include <vector>

namespace daxohost {

namespace {

struct NamedFile {
    std::string option;   // how the operator named it: "--log", "the default record ..."
    std::string path;
    bool written;
};

bool EndsWithIgnoringCase(const std::string& text, const char* ending)
{
    const size_t length = std::string(ending).size();
    return text.size() >= length && ::lstrcmpiA(text.c_str() + text.size() - length, ending) == 0;
}

// Pictures are "NNN-name.png" in their folder: a written file of that kind there may be taken.
bool InPictureFolder(const std::string& path, const std::string& shots)
{
    return !shots.empty() && EndsWithIgnoringCase(NameOf(path), ".png") && SameFile(FolderOf(path), shots + "\\");
}

std::vector<NamedFile> FilesOf(const HostOptions& options)
{
    std::vector<NamedFile> files;
    auto add = [&files](const char* option, const std::string& path, bool written) {
        if (!path.empty())
            files.push_back({option, path, written});
    };
    add("--script", options.script, false);
    add("--bench", options.bench, false);
    add("--lang", options.lang, false);
    add("--check-lang", options.checkLang, false);
    add("--export-lang", options.exportLang, true);
    add("--log", options.log, true);
    // The language tools write no record.
    if (options.checkLang.empty() && options.exportLang.empty()) {
        if (!options.record.empty())
            add("--record", options.record, true);
        else
            add(options.log.empty() ? "the default record" : "the default record beside the log", RecordPath(options),
                true);
    }
    return files;
}

} // namespace

bool FilesAreDistinct(const HostOptions& options, std::string* error)
{
    const std::vector<NamedFile> files = FilesOf(options);
    for (size_t i = 0; i < files.size(); ++i) {
        for (size_t j = i + 1; j < files.size(); ++j) {
            if ((files[i].written || files[j].written) && SameFile(files[i].path, files[j].path)) {
                *error = files[i].option + " and " + files[j].option + " name one file (" + FullPath(files[j].path) +
                         "): the run would write over it. Give each its own file.";
                return false;
            }
        }
        if (files[i].written && (SameFile(files[i].path, options.shots) || InPictureFolder(files[i].path, options.shots))) {
            *error = files[i].option + " names " + FullPath(files[i].path) +
                     (SameFile(files[i].path, options.shots) ? ", the folder" : ", a picture's file in the folder") +
                     " that --shots gives to the pictures. Give it a file of its own.";
            return false;
        }
    }
    return true;
}

} // namespace daxohost
