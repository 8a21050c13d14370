#include "UnitPass.h"
#include "HostContract.h"
#include <cstring>

namespace daxohost {

namespace {

// Where the image holds what identifies the unit, and where the record holds its settings.
constexpr int kTypeOffset = 40, kTypeLength = 16;
constexpr int kSerialOffset = 80, kSerialLength = 8;
constexpr int kAddressByte = 0, kBaudCodeByte = 2, kParityByte = 3;

// The characters of a field up to its first zero byte.
std::string Field(const unsigned char* image, int offset, int length)
{
    const char* text = reinterpret_cast<const char*>(image + offset);
    return std::string(text, ::strnlen(text, static_cast<size_t>(length)));
}

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

} // namespace

const char* ResultWord(PassResult result)
{
    switch (result) {
    case PassResult::Configured: return "configured";
    case PassResult::TestFailed: return "test failed";
    case PassResult::WriteFailed: return "write failed";
    case PassResult::Cancelled: return "cancelled";
    case PassResult::Skipped: return "skipped";
    case PassResult::NoTypeCode: return "no type code";
    default: return "error";
    }
}

std::string Verdict(const UnitPass& pass)
{
    switch (pass.result) {
    case PassResult::Configured: return "configured at address " + std::to_string(pass.address);
    case PassResult::TestFailed: return "test failed: unit did not answer";
    case PassResult::WriteFailed: return "write failed: check that JP1 is in WE";
    case PassResult::Cancelled: return "cancelled";
    case PassResult::Skipped: return "skipped: configured earlier in this series";
    case PassResult::NoTypeCode: return "no type code in the unit's EEPROM";
    default: return "error in the module";
    }
}

void SessionTotals::Count(const UnitPass& pass)
{
    serials.insert(pass.serial);
    if (pass.result == PassResult::Configured)
        ++configured;
    else if (pass.result != PassResult::Cancelled && pass.result != PassResult::Skipped)
        ++failed;
}

std::string SessionTotals::Text() const
{
    return std::to_string(configured) + " configured, " + std::to_string(failed) + " failed, " +
           std::to_string(serials.size()) + (serials.size() == 1 ? " unit seen" : " units seen");
}

bool CUnitPassTracker::Is(const char* line, unsigned id) const
{
    return line && m_messageText(id) == line;
}

void CUnitPassTracker::StartPass()
{
    m_open = m_dialogShown = m_summary = m_writeFailed = false;
    m_writeFailure.clear();
    m_last113.clear();
    m_pass = UnitPass();
}

void CUnitPassTracker::Finish(PassResult result, const std::string& detail)
{
    m_open = false;
    m_pass.result = result;
    m_pass.detail = detail;
    if (m_sink)
        m_sink(m_pass);
}

// A pass that ended without a report that judges it: the next unit came, or the call returned.
void CUnitPassTracker::FinishUndecided()
{
    if (!m_open)
        return;
    // The unit was recognised from the series and the operator moved on without configuring it;
    // a break report of another kind before the dialog means the module itself gave up.
    if (!m_dialogShown && !m_pass.typeCode.empty() && m_last113.empty())
        Finish(PassResult::Skipped, std::string());
    else
        Finish(PassResult::Error, m_last113);
}

void CUnitPassTracker::OnImageRead(const unsigned char* image)
{
    if (!image)
        return;
    m_open = true;
    m_pass.serial = Field(image, kSerialOffset, kSerialLength);
    m_pass.typeCode = Trimmed(Field(image, kTypeOffset, kTypeLength));
}

void CUnitPassTracker::OnWrite(const unsigned char* record, int length)
{
    if (!m_open || !record || length <= kParityByte)
        return;
    m_pass.written = true;
    m_pass.address = record[kAddressByte];
    m_pass.baudCode = record[kBaudCodeByte];
    m_pass.parity = record[kParityByte];
}

void CUnitPassTracker::OnCallReturned()
{
    FinishUndecided();
}

void CUnitPassTracker::OnReport(unsigned char code, const char* heading, const char* line)
{
    if (code == kReportProgress && heading) {
        FinishUndecided();
        StartPass();
        return;
    }
    if (!m_open)
        return;
    const std::string text = line ? line : "";
    switch (code) {
    case kReportProgress:
        m_dialogShown = m_dialogShown || Is(line, kMsgDialogShown);
        break;
    case kReportSummary:
        m_summary = true;
        break;
    case kReportSuccess:
        if (m_summary && Is(line, kMsgFinished))
            Finish(PassResult::Configured, std::string());
        break;
    case kReportFailure:
        if (m_pass.typeCode.empty())
            Finish(PassResult::NoTypeCode, text);
        else if (Is(line, kMsgWriteError)) {
            m_writeFailed = true;
            m_writeFailure = text;
            m_last113 = text;
        } else if (Is(line, kMsgTestError))
            Finish(PassResult::TestFailed, text);
        else if (Is(line, kMsgConfigBreak))
            Finish(m_writeFailed ? PassResult::WriteFailed : PassResult::Cancelled,
                   m_writeFailed ? m_writeFailure : text);
        else if (!m_dialogShown && Is(line, kMsgRepeatDeclined))
            Finish(PassResult::Skipped, text);
        else
            m_last113 = text;
        break;
    default:
        break;
    }
}

} // namespace daxohost
