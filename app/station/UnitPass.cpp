#include "UnitPass.h"
#include "HostContract.h"
#include <cstring>

namespace daxohost {

namespace {

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

namespace {

unsigned VerdictText(PassResult result)
{
    switch (result) {
    case PassResult::Configured: return hosttext::Configured;
    case PassResult::TestFailed: return hosttext::TestFailed;
    case PassResult::WriteFailed: return hosttext::WriteFailed;
    case PassResult::Cancelled: return hosttext::Cancelled;
    case PassResult::Skipped: return hosttext::Skipped;
    case PassResult::NoTypeCode: return hosttext::NoTypeCode;
    default: return hosttext::ModuleError;
    }
}

std::string VerdictOf(PassResult result, int address, const HostWords& words)
{
    return FillByKind(words(VerdictText(result)), {}, {std::to_string(address)});
}

} // namespace

std::string Verdict(const UnitPass& pass, const HostWords& words)
{
    return VerdictOf(pass.result, pass.address, words);
}

unsigned AdviceText(PassResult outcome)
{
    switch (outcome) {
    case PassResult::Configured: return hosttext::AdviceConfigured;
    case PassResult::TestFailed: return hosttext::AdviceTestFailed;
    case PassResult::WriteFailed: return hosttext::AdviceWriteFailed;
    case PassResult::Cancelled: return hosttext::AdviceCancelled;
    case PassResult::Skipped: return hosttext::AdviceSkipped;
    case PassResult::NoTypeCode: return hosttext::AdviceNoTypeCode;
    default: return hosttext::AdviceError;
    }
}

std::string Advice(PassResult outcome, const HostWords& words)
{
    return words(AdviceText(outcome));
}

// A unit's story goes on while the same unit comes back unconfigured: a failed test brings it
// back at once, the operator may bring it back after a cancel.
bool SessionTotals::Continues(const std::string& serial) const
{
    return !m_story.empty() && serial == m_serial && m_story.back().result != PassResult::Configured;
}

void SessionTotals::Count(const UnitPass& pass)
{
    if (!Continues(pass.serial))
        m_story.clear();
    m_serial = pass.serial;
    // The same verdict: the same result, and for a configured unit the same address.
    if (!m_story.empty() && m_story.back().result == pass.result &&
        (pass.result != PassResult::Configured || m_story.back().address == pass.address))
        ++m_story.back().times;
    else
        m_story.push_back({pass.result, pass.address, 1});

    auto found = m_units.emplace(pass.serial, Unit());
    Unit& unit = found.first->second;
    if (found.second)
        unit.firstPassConfigured = pass.result == PassResult::Configured;
    // A cancel or a skip leaves the unit as it was.
    if (pass.result != PassResult::Cancelled && pass.result != PassResult::Skipped)
        unit.configured = pass.result == PassResult::Configured;
}

std::string SessionTotals::Text(const HostWords& words) const
{
    size_t configured = 0, firstPass = 0;
    for (const auto& unit : m_units) {
        configured += unit.second.configured ? 1 : 0;
        firstPass += unit.second.firstPassConfigured ? 1 : 0;
    }
    auto number = [](size_t value) { return std::vector<std::string>{std::to_string(value)}; };
    std::string text =
        FillByKind(words(configured == 1 ? hosttext::OneUnitConfigured : hosttext::UnitsConfigured), {}, number(configured)) +
        ", " + FillByKind(words(hosttext::NotConfigured), {}, number(m_units.size() - configured));
    // Rounded down: 100 % only when every unit went through at once.
    if (!m_units.empty())
        text += ", " + FillByKind(words(hosttext::FirstPassYield), {}, number(firstPass * 100 / m_units.size()));
    return text;
}

std::string SessionTotals::Story(const HostWords& words) const
{
    std::string story;
    for (const Part& part : m_story) {
        std::string verdict = VerdictOf(part.result, part.address, words);
        if (part.times > 1)
            verdict = FillByKind(words(hosttext::StoryTimes), {verdict}, {std::to_string(part.times)});
        story = story.empty() ? verdict : FillByKind(words(hosttext::StoryThen), {story, verdict});
    }
    return story;
}

std::string SessionTotals::InProgress(const std::string& serial, const HostWords& words) const
{
    return Continues(serial) ? FillByKind(words(hosttext::BeingConfiguredAgain), {Story(words)})
                             : words(hosttext::BeingConfigured);
}

PassResult SessionTotals::Outcome() const
{
    for (auto part = m_story.rbegin(); part != m_story.rend(); ++part) {
        if (part->result != PassResult::Cancelled)
            return part->result;
    }
    return PassResult::Cancelled;
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
    m_summaryText.clear();
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
    m_pass.serial = Field(image, image::kSerialOffset, image::kSerialLength);
    m_pass.typeCode = Trimmed(Field(image, image::kTypeCodeOffset, image::kTypeCodeLength));
}

void CUnitPassTracker::OnWrite(const unsigned char* record, int length, bool accepted)
{
    if (!m_open || !accepted || !record || length <= record::kParityByte)
        return;
    m_pass.written = true;
    m_pass.address = record[record::kAddressByte];
    m_pass.baudCode = record[record::kBaudCodeByte];
    m_pass.parity = record[record::kParityByte];
}

void CUnitPassTracker::OnCallReturned()
{
    FinishUndecided();
}

void CUnitPassTracker::OnReport(unsigned char code, const char* heading, const char* line)
{
    if (code == result::kProgress && heading) {
        FinishUndecided();
        StartPass();
        return;
    }
    if (!m_open)
        return;
    const std::string text = line ? line : "";
    switch (code) {
    case result::kProgress:
        m_dialogShown = m_dialogShown || Is(line, msg::ConfigDialogShown);
        break;
    case result::kSummary:
        m_summary = true;
        m_summaryText = text;
        break;
    case result::kSuccess:
        // Production reads from the row what the unit was given.
        if (m_summary && Is(line, msg::Finished))
            Finish(PassResult::Configured, m_summaryText);
        break;
    case result::kFailure:
        if (m_pass.typeCode.empty())
            Finish(PassResult::NoTypeCode, text);
        else if (Is(line, msg::WriteFailedLog)) {
            m_writeFailed = true;
            m_writeFailure = text;
            m_last113 = text;
        } else if (Is(line, msg::TestFailed))
            Finish(PassResult::TestFailed, text);
        else if (Is(line, msg::ConfigCancelled))
            Finish(m_writeFailed ? PassResult::WriteFailed : PassResult::Cancelled,
                   m_writeFailed ? m_writeFailure : text);
        else if (!m_dialogShown && Is(line, msg::RepeatRefused))
            Finish(PassResult::Skipped, text);
        else
            m_last113 = text;
        break;
    default:
        break;
    }
}

} // namespace daxohost
