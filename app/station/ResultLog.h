#pragma once
// The host's result log: every report that the module sends through CTest::SendTestResult,
// with the result of each call in between.
#include <windows.h>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace daxohost {

// Who wrote a row: the module through SendTestResult, or the host itself, with what a call
// returned or with what it concluded from a call.
enum class LogSource { Module, CallResult, HostNote };

struct LogEntry {
    SYSTEMTIME time{};
    int code = 0;            // a ResultCode; for a call result what ConfigureThermometer returned
    std::string text;        // ANSI code page
    LogSource source = LogSource::Module;
    bool heading = false;    // the module sent the text as a heading: a pass begins
    bool FromModule() const { return source == LogSource::Module; }
};

class CResultLog {
public:
    typedef std::function<void(const LogEntry&)> Listener;

    // Receives the reports of every test object of the process while it lives.
    CResultLog();
    ~CResultLog();
    CResultLog(const CResultLog&) = delete;
    CResultLog& operator=(const CResultLog&) = delete;

    void AddReport(int code, const char* text, bool heading = false);
    // What a call returned.
    void AddCallResult(int result);
    void AddNote(const std::string& text);

    size_t Count() const;
    bool Entry(size_t index, LogEntry* entry) const;
    std::vector<LogEntry> Entries() const;

    // Called for every new entry, in the thread that added it, after it has been stored.
    void AddListener(Listener listener);
    // Every entry from now on is appended to this file as it arrives (UTF-8). False when the
    // file cannot be created.
    bool WriteTo(const std::string& path);
    // The whole log into a file (UTF-8), replacing it only when complete. False, with the
    // reason, when it was not written; an old file is then as it was.
    bool Save(const std::string& path, std::string* reason) const;

    // "12:00:01.234<TAB>112<TAB>text" in UTF-8; a call result reads "<time><TAB>call<TAB>
    // ConfigureThermometer returned 1", a note of the host "<time><TAB>host<TAB>text".
    static std::string FormatLine(const LogEntry& entry);
    static std::string CodeText(const LogEntry& entry);
    static std::string TimeText(const SYSTEMTIME& time);

private:
    static void Sink(void* context, void* window, const char* heading, const char* line, int flag,
                     unsigned char code, unsigned short reserved);
    void Add(const LogEntry& entry);

    mutable std::mutex m_lock;
    std::vector<LogEntry> m_entries;
    std::vector<Listener> m_listeners;
    FILE* m_file = nullptr;
};

} // namespace daxohost
