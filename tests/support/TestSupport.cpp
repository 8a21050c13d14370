#include "TestSupport.h"
#include "DebugSink.h"
#include "SimBench.h"
#include "ResultSink.h"
#include <cstdio>
#include <fstream>
#include <sstream>

namespace daxotest {

namespace {
int g_benchFiles = 0;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::string SourceFolder()
{
    char path[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableA("DAXO_SOURCE_DIR", path, sizeof path);
    if (length > 0 && length < sizeof path)
        return std::string(path, length);
    return DAXO_SOURCE_DIR;
}

std::string DistFolder()
{
    std::string path = "Z:" DAXO_DIST_DIR;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TempPath(const std::string& name)
{
    char base[MAX_PATH];
    ::GetTempPathA(sizeof base, base);
    // Wine reuses process ids: the start time keeps a later run from finding an earlier one's files.
    static const ULONGLONG started = ::GetTickCount64();
    std::string folder = std::string(base) + "daxotest-" + std::to_string(::GetCurrentProcessId()) + "-" +
                         std::to_string(started);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : m_name(name)
{
    char old[4096];
    DWORD length = ::GetEnvironmentVariableA(name, old, sizeof old);
    m_had = length > 0 && length < sizeof old;
    if (m_had)
        m_old.assign(old, length);
    ::SetEnvironmentVariableA(name, value);
}

ScopedEnv::~ScopedEnv() { ::SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr); }

ReportCapture::ReportCapture() { PrubelSetTestResultSink(&ReportCapture::Sink, this); }
ReportCapture::~ReportCapture() { PrubelSetTestResultSink(nullptr, nullptr); }

void ReportCapture::Sink(void* context, void* window, const char* heading, const char* line, int flag,
                         unsigned char code, unsigned short reserved)
{
    Report report{code, heading ? heading : "", line ? line : "", heading != nullptr, line != nullptr,
                  window, flag, reserved};
    static_cast<ReportCapture*>(context)->m_reports.push_back(report);
}

std::vector<std::pair<int, std::string>> ReportCapture::CodesAndTexts() const
{
    std::vector<std::pair<int, std::string>> result;
    for (const Report& report : m_reports)
        result.emplace_back(report.code, report.Text());
    return result;
}

DebugCapture::DebugCapture() { QuilletSetDebugSink(&DebugCapture::Sink, this); }
DebugCapture::~DebugCapture() { QuilletSetDebugSink(nullptr, nullptr); }

void DebugCapture::Sink(void* context, const char* text) { static_cast<DebugCapture*>(context)->m_lines.push_back(text); }

bool DebugCapture::Contains(const std::string& fragment) const
{
    for (const std::string& line : m_lines)
        if (line.find(fragment) != std::string::npos)
            return true;
    return false;
}

BenchFile& BenchFile::Host(const std::string& key, const std::string& value)
{
    m_host.push_back(key + "=" + value);
    return *this;
}

BenchFile& BenchFile::Bench(const std::string& key, const std::string& value)
{
    m_bench.push_back(key + "=" + value);
    return *this;
}

BenchFile& BenchFile::Unit(const std::vector<std::string>& settings)
{
    m_units.push_back(settings);
    return *this;
}

std::string BenchFile::Write() const
{
    std::ostringstream ini;
    ini << "[Host]\r\n";
    for (const std::string& line : m_host)
        ini << line << "\r\n";
    ini << "[Bench]\r\nUnits=" << m_units.size() << "\r\n";
    for (const std::string& line : m_bench)
        ini << line << "\r\n";
    for (size_t i = 0; i < m_units.size(); ++i) {
        ini << "[Unit" << i + 1 << "]\r\n";
        for (const std::string& line : m_units[i])
            ini << line << "\r\n";
    }
    std::string path = TempPath("bench" + std::to_string(++g_benchFiles) + ".ini");
    WriteFileBytes(path, ini.str());
    return path;
}

void BenchFile::Load() const { CSimBench::Instance().Load(Write().c_str()); }

std::vector<SimEvent> BenchEvents(int kind)
{
    std::vector<SimEvent> events;
    CSimBench& bench = CSimBench::Instance();
    for (int i = 0; i < bench.EventCount(); ++i) {
        SimEvent event;
        if (bench.GetEvent(i, &event) && event.kind == kind)
            events.push_back(event);
    }
    return events;
}

std::string Hex(const unsigned char* bytes, size_t size)
{
    std::string text;
    char pair[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

} // namespace daxotest
