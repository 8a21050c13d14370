#include "ResultLog.h"
#include "ResultSink.h"
#include "OneLine.h"
#include "TextCodec.h"
#include "WholeFile.h"
#include <cstdio>

namespace daxohost {

CResultLog::CResultLog()
{
    PrubelSetTestResultSink(&CResultLog::Sink, this);
}

CResultLog::~CResultLog()
{
    PrubelSetTestResultSink(nullptr, nullptr);
    if (m_file)
        std::fclose(m_file);
}

void CResultLog::Sink(void* context, void*, const char* heading, const char* line, int, unsigned char code,
                      unsigned short)
{
    // The module sends exactly one of the two; a heading opens a configuration cycle.
    static_cast<CResultLog*>(context)->AddReport(code, heading ? heading : line, heading != nullptr);
}

void CResultLog::AddReport(int code, const char* text, bool heading)
{
    LogEntry entry;
    ::GetLocalTime(&entry.time);
    entry.code = code;
    entry.heading = heading;
    entry.text = text ? text : "";
    Add(entry);
}

void CResultLog::AddNote(const std::string& text)
{
    LogEntry entry;
    ::GetLocalTime(&entry.time);
    entry.source = LogSource::HostNote;
    entry.text = text;
    Add(entry);
}

void CResultLog::AddCallResult(int result)
{
    LogEntry entry;
    ::GetLocalTime(&entry.time);
    entry.code = result;
    entry.text = "ConfigureThermometer returned " + std::to_string(result);
    entry.source = LogSource::CallResult;
    Add(entry);
}

void CResultLog::Add(const LogEntry& entry)
{
    std::vector<Listener> listeners;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_entries.push_back(entry);
        listeners = m_listeners;
        if (m_file) {
            std::string line = FormatLine(entry) + "\n";
            std::fwrite(line.data(), 1, line.size(), m_file);
            std::fflush(m_file);
        }
    }
    for (const Listener& listener : listeners)
        listener(entry);
}

size_t CResultLog::Count() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_entries.size();
}

bool CResultLog::Entry(size_t index, LogEntry* entry) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (index >= m_entries.size())
        return false;
    *entry = m_entries[index];
    return true;
}

std::vector<LogEntry> CResultLog::Entries() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_entries;
}

void CResultLog::AddListener(Listener listener)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_listeners.push_back(std::move(listener));
}

bool CResultLog::WriteTo(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_file)
        std::fclose(m_file);
    m_file = file;
    return true;
}

bool CResultLog::Save(const std::string& path, std::string* reason) const
{
    std::string text;
    for (const LogEntry& entry : Entries())
        text += FormatLine(entry) + "\n";
    return WriteWholeFile(path, text, Existing::Replace, reason);
}

std::string CResultLog::TimeText(const SYSTEMTIME& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", time.wHour, time.wMinute, time.wSecond,
                  time.wMilliseconds);
    return text;
}

std::string CResultLog::CodeText(const LogEntry& entry)
{
    switch (entry.source) {
    case LogSource::CallResult: return "call";
    case LogSource::HostNote: return "host";
    case LogSource::Module: break;
    }
    return std::to_string(entry.code);
}

std::string CResultLog::FormatLine(const LogEntry& entry)
{
    return TimeText(entry.time) + "\t" + CodeText(entry) + "\t" + ModuleTextToUtf8(opdriver::OneLine(entry.text));
}

} // namespace daxohost
