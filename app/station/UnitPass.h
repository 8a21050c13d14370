#pragma once
// What happened to each unit: one pass of the configuration per unit reached, followed from
// what a host sees of it (the EEPROM image it read, the record it was asked to write, the
// module's reports) and judged when the pass is over.
#include "HostTexts.h"
#include "UnitContract.h"
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace daxohost {

enum class PassResult { Configured, TestFailed, WriteFailed, Cancelled, Skipped, NoTypeCode, Error };

struct UnitPass {
    std::string serial;      // from the image, as stored (ANSI)
    std::string typeCode;    // from the image, trimmed (ANSI)
    bool written = false;    // the unit took a record in this pass (WriteConfig succeeded)
    int address = 0;         // of the last record the unit took
    int baudCode = 0;
    int parity = 0;
    PassResult result = PassResult::Error;
    std::string detail;      // the module's report that explains the result, for a configured unit the
                             // configuration summary (ANSI); may be empty
};

// The record's word for a result (English whatever the language), and the operator's.
const char* ResultWord(PassResult result);
std::string Verdict(const UnitPass& pass, const HostWords& words = EnglishWords());
// What the operator does next after a unit whose story came to this: the host text, and its words.
unsigned AdviceText(PassResult outcome);
std::string Advice(PassResult outcome, const HostWords& words = EnglishWords());

// What the operator has done this session, unit by unit (by serial), and the story of the unit
// at hand: the passes over it since it came or since it was last configured.
class SessionTotals {
public:
    void Count(const UnitPass& pass);
    // "4 units configured, 1 not configured, first-pass yield 80 %".
    std::string Text(const HostWords& words = EnglishWords()) const;
    // "test failed: unit did not answer, then cancelled: not configured".
    std::string Story(const HostWords& words = EnglishWords()) const;
    // The same while a pass over the unit `serial` runs.
    std::string InProgress(const std::string& serial, const HostWords& words = EnglishWords()) const;
    // What the story comes to: its last result, or the failure that a cancel ended.
    PassResult Outcome() const;

private:
    struct Unit {
        bool configured = false;          // as its last pass not cancelled or skipped left it
        bool firstPassConfigured = false;
    };
    // Passes in a row that came to the same verdict, told again in each language.
    struct Part {
        PassResult result;
        int address;
        int times;
    };
    bool Continues(const std::string& serial) const;

    std::map<std::string, Unit> m_units;
    std::string m_serial;                 // of the unit at hand
    std::vector<Part> m_story;
};

// Fed with the events of the calls in the order they happen; hands each pass that reached a
// unit to the sink once its result is known.
class CUnitPassTracker {
public:
    // The module's current text of a message id: reports are recognised by their text, so the
    // tracker works in every language.
    using MessageText = std::function<std::string(unsigned id)>;
    using PassSink = std::function<void(const UnitPass& pass)>;

    CUnitPassTracker(MessageText messageText, PassSink sink)
        : m_messageText(std::move(messageText)), m_sink(std::move(sink))
    {
    }

    void OnReport(unsigned char code, const char* heading, const char* line);
    // The image as read; null when CheckEEPROM failed. At least kImageSize bytes.
    void OnImageRead(const unsigned char* image);
    // A record handed to WriteConfig; `accepted`: WriteConfig succeeded. A refused record leaves
    // the unit as it was, so it never stands in the record as the unit's settings.
    void OnWrite(const unsigned char* record, int length, bool accepted);
    void OnCallReturned();
    // The pass that has reached a unit and has no result yet; null when there is none.
    const UnitPass* Current() const { return m_open ? &m_pass : nullptr; }

    static constexpr int kImageSize = image::kBytesNeeded;

private:
    void StartPass();
    void Finish(PassResult result, const std::string& detail);
    void FinishUndecided();
    bool Is(const char* line, unsigned id) const;

    MessageText m_messageText;
    PassSink m_sink;
    bool m_open = false;         // a pass has reached a unit and has no result yet
    bool m_dialogShown = false;
    bool m_summary = false;      // the configuration summary came
    bool m_writeFailed = false;
    std::string m_writeFailure;
    std::string m_last113;
    std::string m_summaryText;
    UnitPass m_pass;
};

} // namespace daxohost
