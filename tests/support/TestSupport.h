#pragma once
// Shared helpers of the tests: temporary files, environment, captured reports and
// diagnostics, and benches written as INI files.
#include "SimBench.h"
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace daxotest {

// A file path in a fresh folder of the test run's own.
std::string TempPath(const std::string& name);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
// The folder of the running test program (where the built libraries are).
std::string ProgramFolder();
// The repository's folder (for shipped files such as the language files).
std::string SourceFolder();
// The shipped binaries of this architecture (dist/win64): what the tests that run the host
// application run.
std::string DistFolder();

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had;
};

struct Report {
    int code;
    std::string heading;   // empty when null
    std::string line;      // empty when null
    bool hasHeading;
    bool hasLine;
    void* window;
    int flag;
    int reserved;
    std::string Text() const { return hasHeading ? heading : line; }
};

// Collects every SendTestResult of the process while it lives.
class ReportCapture {
public:
    ReportCapture();
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;
    const std::vector<Report>& Reports() const { return m_reports; }
    std::vector<std::pair<int, std::string>> CodesAndTexts() const;
    void Clear() { m_reports.clear(); }

private:
    static void Sink(void* context, void* window, const char* heading, const char* line, int flag,
                     unsigned char code, unsigned short reserved);
    std::vector<Report> m_reports;
};

// Collects the toolkit's debug output while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;
    const std::vector<std::string>& Lines() const { return m_lines; }
    bool Contains(const std::string& fragment) const;

private:
    static void Sink(void* context, const char* text);
    std::vector<std::string> m_lines;
};

// Builds a bench INI file and loads it into the simulated bench.
class BenchFile {
public:
    BenchFile& Host(const std::string& key, const std::string& value);
    // A key of the [Bench] section besides Units, such as ReconnectFails.
    BenchFile& Bench(const std::string& key, const std::string& value);
    // Adds a unit; `settings` are "Key=Value" lines.
    BenchFile& Unit(const std::vector<std::string>& settings);
    std::string Write() const;    // answers the path
    void Load() const;            // writes and loads into CSimBench::Instance()

private:
    std::vector<std::string> m_host;
    std::vector<std::string> m_bench;
    std::vector<std::vector<std::string>> m_units;
};

std::string Hex(const unsigned char* bytes, size_t size);

// What the simulated bench was asked, of one kind (SimEventRead ...), in order.
std::vector<SimEvent> BenchEvents(int kind);

// An export of a loaded library as a typed function pointer, null when it is missing.
template <typename F>
F Export(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace daxotest
