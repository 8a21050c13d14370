// The files a run writes: never one with another file the run names, whatever the spelling,
// and a file written whole is there whole or not at all.
#include "DistinctFiles.h"
#include "FileIdentity.h"
#include "TestSupport.h"
#include "WholeFile.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <functional>
#include <string>

namespace {

using namespace daxohost;

// Folder of the case, with an existing log and its hard link, and the pictures' folder.
struct Station {
    std::string folder = daxotest::TempPath("station");
    Station()
    {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
        ::CreateDirectoryA((folder + "\\shots").c_str(), nullptr);
        daxotest::WriteFileBytes(At("run.log"), "old log\n");
        daxotest::WriteFileBytes(At("series.script"), "dialog 2020\n");
        ::DeleteFileA(At("linked.log").c_str());
        ::CreateHardLinkA(At("linked.log").c_str(), At("run.log").c_str(), nullptr);
    }
    std::string At(const std::string& name) const { return folder + "\\" + name; }
};

TEST(DistinctFiles, AFileTheRunWritesIsNoOtherFileOfTheRunByAnySpelling)
{
    const Station s;
    const struct {
        const char* what;
        std::function<void(HostOptions&)> options;
        const char* refusal;   // null: the run may go on
    } cases[] = {
        {"log and record apart", [&](HostOptions& o) { o.log = s.At("run.log"); o.record = s.At("r.csv"); }, nullptr},
        {"default record beside the log", [&](HostOptions& o) { o.log = s.At("run.log"); }, nullptr},
        {"log named as the default record", [&](HostOptions& o) { o.log = s.At("commissioning.csv"); },
         "--log and the default record beside the log name one file"},
        {"record in other case", [&](HostOptions& o) { o.log = s.At("run.log"); o.record = s.At("RUN.LOG"); },
         "--log and --record name one file"},
        {"record through ..", [&](HostOptions& o) { o.log = s.At("run.log"); o.record = s.At("sub\\..\\run.log"); },
         "--log and --record name one file"},
        {"record through a hard link", [&](HostOptions& o) { o.log = s.At("run.log"); o.record = s.At("linked.log"); },
         "--log and --record name one file"},
        {"new files through ..", [&](HostOptions& o) { o.log = s.At("new.log"); o.record = s.At("sub/../NEW.log"); },
         "--log and --record name one file"},
        {"log over the script", [&](HostOptions& o) { o.script = s.At("series.script"); o.log = s.At("SERIES.script"); },
         "--script and --log name one file"},
        {"export over the language read", [&](HostOptions& o) { o.checkLang = s.At("run.log"); o.exportLang = s.At("linked.log"); },
         "--check-lang and --export-lang name one file"},
        {"log among the pictures", [&](HostOptions& o) { o.shots = s.At("shots"); o.log = s.At("shots\\001-msgbox.png"); },
         "a picture's file in the folder that --shots gives"},
        {"log beside the pictures", [&](HostOptions& o) { o.shots = s.At("shots"); o.log = s.At("shots\\run.log"); },
         nullptr},
        {"two files read", [&](HostOptions& o) { o.script = s.At("run.log"); o.bench = s.At("linked.log"); o.record = s.At("r.csv"); },
         nullptr},
    };
    for (const auto& check : cases) {
        HostOptions options;
        check.options(options);
        std::string error;
        const bool distinct = FilesAreDistinct(options, &error);
        EXPECT_EQ(distinct, check.refusal == nullptr) << check.what << ": " << error;
        if (check.refusal) {
            EXPECT_NE(error.find(check.refusal), std::string::npos) << check.what << ": " << error;
        }
    }
}

// Files of the folder whose names begin with the temporary prefix.
int LeftOver(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\dxo*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return count;
}

TEST(WholeFile, TheOldFileStaysWholeUntilTheNewOneIsAndNoTemporaryFileIsLeft)
{
    const std::string folder = daxotest::TempPath("whole");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\cs.xml";
    const auto halfThenFail = [](const std::string& temporary, std::string* why) {
        daxotest::WriteFileBytes(temporary, "<Lang");
        *why = "the disk gave out";
        return false;
    };
    const struct {
        const char* what;
        std::function<bool(std::string*)> write;
        bool written;
        const char* content;   // of the file afterwards
    } cases[] = {
        {"replaced", [&](std::string* r) { return WriteWholeFile(path, "new", Existing::Replace, r); }, true, "new"},
        {"failed half way", [&](std::string* r) { return WriteWholeFile(path, halfThenFail, Existing::Replace, r); },
         false, "old"},
        {"kept when it exists", [&](std::string* r) { return WriteWholeFile(path, "new", Existing::Keep, r); }, false,
         "old"},
        {"in a folder that does not exist",
         [&](std::string* r) { return WriteWholeFile(folder + "\\no\\cs.xml", "new", Existing::Replace, r); }, false,
         "old"},
    };
    for (const auto& check : cases) {
        daxotest::WriteFileBytes(path, "old");
        std::string reason;
        EXPECT_EQ(check.write(&reason), check.written) << check.what;
        EXPECT_EQ(reason.empty(), check.written) << check.what << ": " << reason;
        EXPECT_EQ(daxotest::ReadFileBytes(path), check.content) << check.what;
        EXPECT_EQ(LeftOver(folder), 0) << check.what;
    }
}

} // namespace
