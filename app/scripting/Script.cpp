#include "Script.h"
#include "HostContract.h"
#include "TextCodec.h"
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <windows.h>

namespace daxohost {

namespace {

// The module's dialogs, and the control that tells each from the others.
const std::vector<KnownDialog> kKnownDialogs = {
    {IDD_CONFIG, IDC_WRITE}, {IDD_TESTCONFIG, IDC_TEST_INFO}, {IDD_CONFIRM, IDC_CONFIRM_PROMPT}};

struct Token {
    std::string text;
    bool quoted;
};

// What follows the keyword(s) of a line.
enum class Shape { None, Dialog, Id, IdText, IdSwitch, IdJumper, IdInt, Text, Button, Int, IdOptionalText };

struct Keyword {
    const char* first;
    const char* second;   // null: a one-word keyword
    ScriptOp op;
    Shape shape;
};

const Keyword kKeywords[] = {
    {"dialog", nullptr, ScriptOp::WaitDialog, Shape::Dialog},
    {"msgbox", nullptr, ScriptOp::WaitMessageBox, Shape::None},
    {"type", nullptr, ScriptOp::Type, Shape::IdText},
    {"check", nullptr, ScriptOp::Check, Shape::IdSwitch},
    {"select", nullptr, ScriptOp::Select, Shape::IdText},
    {"spin", nullptr, ScriptOp::Spin, Shape::IdInt},
    {"wheel", nullptr, ScriptOp::Wheel, Shape::IdInt},
    {"click", nullptr, ScriptOp::Click, Shape::Id},
    {"answer", nullptr, ScriptOp::Answer, Shape::Button},
    {"close", nullptr, ScriptOp::Close, Shape::None},
    {"escape", nullptr, ScriptOp::Escape, Shape::None},
    {"expect", "text", ScriptOp::ExpectText, Shape::IdText},
    {"expect", "selected", ScriptOp::ExpectSelected, Shape::IdText},
    {"expect", "enabled", ScriptOp::ExpectEnabled, Shape::Id},
    {"expect", "disabled", ScriptOp::ExpectDisabled, Shape::Id},
    {"expect", "visible", ScriptOp::ExpectVisible, Shape::Id},
    {"expect", "hidden", ScriptOp::ExpectHidden, Shape::Id},
    {"expect", "checked", ScriptOp::ExpectChecked, Shape::Id},
    {"expect", "unchecked", ScriptOp::ExpectUnchecked, Shape::Id},
    {"expect", "focus", ScriptOp::ExpectFocus, Shape::Id},
    {"expect", "caption", ScriptOp::ExpectCaption, Shape::Text},
    {"expect", "msgbox-text", ScriptOp::ExpectMessageText, Shape::Text},
    {"expect", "report", ScriptOp::ExpectReport, Shape::IdOptionalText},
    {"expect", "result", ScriptOp::ExpectResult, Shape::Int},
    {"bench", "jp1", ScriptOp::BenchJumper, Shape::IdJumper},
    {"bench", "next", ScriptOp::BenchConnectNext, Shape::None},
    {"bench", "unplug", ScriptOp::BenchUnplug, Shape::None},
    {"pause", nullptr, ScriptOp::Pause, Shape::Int},
};

const struct {
    const char* word;
    int button;
} kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},       {"no", IDNO},
                {"abort", IDABORT}, {"retry", IDRETRY},   {"ignore", IDIGNORE}, {"continue", IDCONTINUE},
                {"tryagain", IDTRYAGAIN}};

const struct {
    const char* name;
    unsigned dialogId;
} kDialogNames[] = {{"config", IDD_CONFIG}, {"test", IDD_TESTCONFIG}, {"next", IDD_CONFIRM}};

// Splits a line into words and quoted texts; a word that starts with # begins a comment.
bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* error)
{
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        if (c != '"') {
            size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '"')
                ++i;
            tokens->push_back({line.substr(start, i - start), false});
            continue;
        }
        std::string text;
        bool closed = false;
        for (++i; i < line.size() && !closed;) {
            char d = line[i++];
            if (d == '"') {
                closed = true;
            } else if (d != '\\') {
                text += d;
            } else if (i < line.size()) {
                char escaped = line[i++];
                switch (escaped) {
                case 'n': text += '\n'; break;
                case 't': text += '\t'; break;
                case '\\': text += '\\'; break;
                case '"': text += '"'; break;
                default:
                    *error = std::string("unknown escape \\") + escaped + " (known: \\n \\t \\\\ \\\")";
                    return false;
                }
            }
        }
        if (!closed) {
            *error = "a text without its closing quote";
            return false;
        }
        tokens->push_back({text, true});
    }
    return true;
}

bool ParseNumber(const std::string& text, long long low, long long high, long long* value)
{
    if (text.empty() || text.size() > 12)
        return false;
    size_t start = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (start == text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (number < low || number > high)
        return false;
    *value = number;
    return true;
}

// Reads the arguments of one line in order and says what is wrong with them.
class Arguments {
public:
    Arguments(const std::vector<Token>& tokens, size_t first) : m_tokens(tokens), m_next(first) {}

    bool Id(unsigned* id, const char* what)
    {
        long long value = 0;
        if (!Peek() || Peek()->quoted || !ParseNumber(Peek()->text, 0, 65535, &value))
            return Fail(std::string("expected ") + what + " (a number from 0 to 65535)");
        *id = static_cast<unsigned>(value);
        ++m_next;
        return true;
    }
    bool Int(int* number, const char* what)
    {
        long long value = 0;
        if (!Peek() || Peek()->quoted || !ParseNumber(Peek()->text, -1000000, 1000000, &value))
            return Fail(std::string("expected ") + what + " (a whole number)");
        *number = static_cast<int>(value);
        ++m_next;
        return true;
    }
    // on or off; for the jumper also its positions, WP (write protect, on) and WE (off).
    bool Switch(int* on, bool jumper)
    {
        const Token* token = Peek();
        const std::string word = token && !token->quoted ? token->text : std::string();
        if (word == "on" || word == "off" || (jumper && (word == "wp" || word == "WP" || word == "we" || word == "WE"))) {
            *on = word == "on" || word == "wp" || word == "WP" ? 1 : 0;
            ++m_next;
            return true;
        }
        return Fail(jumper ? "expected on (WP, write protect) or off (WE, write enable)" : "expected on or off");
    }
    bool Button(int* button)
    {
        if (const Token* token = Peek())
            for (const auto& entry : kButtons)
                if (!token->quoted && token->text == entry.word) {
                    *button = entry.button;
                    ++m_next;
                    return true;
                }
        return Fail("expected a button: ok, cancel, yes, no, abort, retry, ignore, continue or tryagain");
    }
    bool Dialog(unsigned* identifyingControl)
    {
        const Token* token = Peek();
        if (token && !token->quoted)
            for (const auto& entry : kDialogNames)
                if (token->text == entry.name) {
                    *identifyingControl = IdentifyingControl(entry.dialogId);
                    ++m_next;
                    return true;
                }
        unsigned id = 0;
        if (!Id(&id, "a dialog id (2020, 2021, 2022), config, test, next or a control id"))
            return false;
        *identifyingControl = IdentifyingControl(id);
        return true;
    }
    // A quoted text, or one word.
    bool Text(std::string* text, bool* given, bool optional)
    {
        const Token* token = Peek();
        *given = token != nullptr;
        if (!token)
            return optional || Fail("expected a text (in double quotes when it has blanks)");
        if (!Utf8ToModuleText(token->text, text))
            return Fail("the text is not UTF-8");
        ++m_next;
        return true;
    }
    bool End()
    {
        if (const Token* token = Peek())
            return Fail("unexpected " + std::string(token->quoted ? "text \"" : "'") + token->text +
                        (token->quoted ? "\"" : "'") + " at the end");
        return true;
    }
    const std::string& Error() const { return m_error; }

private:
    static unsigned IdentifyingControl(unsigned id)
    {
        for (const KnownDialog& known : KnownDialogs())
            if (known.dialogId == id)
                return known.identifyingControl;
        return id;
    }
    const Token* Peek() const { return m_next < m_tokens.size() ? &m_tokens[m_next] : nullptr; }
    bool Fail(const std::string& error)
    {
        if (m_error.empty())
            m_error = error;
        return false;
    }

    const std::vector<Token>& m_tokens;
    size_t m_next;
    std::string m_error;
};

bool ReadArguments(Shape shape, Arguments& args, ScriptLine* line)
{
    bool ok = true;
    switch (shape) {
    case Shape::None: break;
    case Shape::Dialog: ok = args.Dialog(&line->id); break;
    case Shape::Id: ok = args.Id(&line->id, "a control id"); break;
    case Shape::IdText: ok = args.Id(&line->id, "a control id") && args.Text(&line->text, &line->hasText, false); break;
    case Shape::IdSwitch: ok = args.Id(&line->id, "a control id") && args.Switch(&line->value, false); break;
    case Shape::IdJumper: ok = args.Id(&line->id, "a unit number") && args.Switch(&line->value, true); break;
    case Shape::IdInt: ok = args.Id(&line->id, "a control id") && args.Int(&line->value, "a number"); break;
    case Shape::Text: ok = args.Text(&line->text, &line->hasText, false); break;
    case Shape::Button: ok = args.Button(&line->value); break;
    case Shape::Int: ok = args.Int(&line->value, "the value"); break;
    case Shape::IdOptionalText:
        ok = args.Id(&line->id, "a result code") && args.Text(&line->text, &line->hasText, true);
        break;
    }
    return ok && args.End();
}

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return {};
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

} // namespace

LineScope ScopeOf(ScriptOp op)
{
    switch (op) {
    case ScriptOp::BenchJumper:
    case ScriptOp::BenchConnectNext:
    case ScriptOp::BenchUnplug:
    case ScriptOp::ExpectReport:
    case ScriptOp::Pause:
        return LineScope::Anywhere;
    case ScriptOp::ExpectResult:
        return LineScope::AfterCall;
    default:
        return LineScope::Window;
    }
}

const std::vector<KnownDialog>& KnownDialogs()
{
    return kKnownDialogs;
}

bool CScript::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        m_lines.clear();
        m_errors.assign(1, "cannot read the script " + path);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return Parse(content.str());
}

bool CScript::Parse(const std::string& utf8)
{
    m_lines.clear();
    m_errors.clear();
    std::string text = utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8.substr(3) : utf8;
    std::istringstream in(text);
    std::string line;
    m_open.clear();
    int number = 1;
    for (; std::getline(in, line) && m_lines.size() <= kMaxLines; ++number)
        ParseLine(number, line);
    if (m_lines.size() > kMaxLines)
        m_errors.push_back("line " + std::to_string(number - 1) + ": the repeated script has more than " +
                           std::to_string(kMaxLines) + " lines");
    if (m_lines.size() <= kMaxLines)
        for (const OpenRepeat& open : m_open)
            m_errors.push_back("line " + std::to_string(open.number) + ": repeat without its end");
    m_open.clear();
    CheckWindowLines();
    return m_errors.empty();
}

bool CScript::ParseLine(int number, const std::string& text)
{
    std::vector<Token> tokens;
    std::string error;
    auto fail = [&](const std::string& why) {
        m_errors.push_back("line " + std::to_string(number) + ": " + why);
        return false;
    };
    if (!Tokenize(text, &tokens, &error))
        return fail(error);
    if (tokens.empty())
        return true;
    if (tokens[0].quoted)
        return fail("a line starts with a keyword, not with a text");
    const std::string& first = tokens[0].text;
    const std::string second = tokens.size() > 1 && !tokens[1].quoted ? tokens[1].text : "";
    if (first == "repeat" || first == "end") {
        std::vector<std::string> words;
        for (const Token& token : tokens) {
            if (token.quoted)
                return fail(first + ": expected no text");
            words.push_back(token.text);
        }
        return ParseBlock(number, words);
    }
    for (const Keyword& keyword : kKeywords) {
        if (first != keyword.first || (keyword.second && second != keyword.second))
            continue;
        ScriptLine line;
        line.number = number;
        line.source = Trim(text);
        line.op = keyword.op;
        Arguments args(tokens, keyword.second ? 2 : 1);
        if (!ReadArguments(keyword.shape, args, &line))
            return fail(first + (keyword.second ? " " + second : "") + ": " + args.Error());
        if (line.op == ScriptOp::Pause && (line.value < 0 || line.value > kMaxPauseMs))
            return fail("pause: expected milliseconds from 0 to " + std::to_string(kMaxPauseMs));
        m_lines.push_back(line);
        return true;
    }
    if (first == "expect" || first == "bench")
        return fail("unknown " + first + " '" + second + "'");
    return fail("unknown action '" + first + "'");
}

// "repeat N" opens a block, "end" closes the innermost one and appends its lines N-1 times
// more, each keeping the number of the line it was written on.
bool CScript::ParseBlock(int number, const std::vector<std::string>& words)
{
    auto fail = [&](const std::string& why) {
        m_errors.push_back("line " + std::to_string(number) + ": " + why);
        return false;
    };
    if (words[0] == "end") {
        if (words.size() > 1)
            return fail("end: unexpected '" + words[1] + "' at the end");
        if (m_open.empty())
            return fail("end without its repeat");
        OpenRepeat open = m_open.back();
        m_open.pop_back();
        size_t length = m_lines.size() - open.firstLine;
        if (length * static_cast<size_t>(open.count) > kMaxLines)
            return fail("the repeated script has more than " + std::to_string(kMaxLines) + " lines");
        for (int copy = 1; copy < open.count; ++copy)
            for (size_t i = 0; i < length; ++i)
                m_lines.push_back(m_lines[open.firstLine + i]);
        return true;
    }
    long long count = 0;
    if (words.size() != 2 || !ParseNumber(words[1], 1, kMaxRepeat, &count))
        return fail("repeat: expected how many times, from 1 to " + std::to_string(kMaxRepeat));
    m_open.push_back({m_lines.size(), static_cast<int>(count), number});
    return true;
}

// Each call starts without a window: its first window line must wait for one.
void CScript::CheckWindowLines()
{
    bool named = false;
    for (const ScriptLine& line : m_lines) {
        if (line.op == ScriptOp::ExpectResult) {
            named = false;
        } else if (line.op == ScriptOp::WaitDialog || line.op == ScriptOp::WaitMessageBox) {
            named = true;
        } else if (ScopeOf(line.op) == LineScope::Window && !named) {
            m_errors.push_back("line " + std::to_string(line.number) + ": '" + line.source +
                               "' acts on a window, but no dialog or msgbox line of this call names one");
        }
    }
}

std::vector<std::vector<ScriptLine>> CScript::Calls() const
{
    std::vector<std::vector<ScriptLine>> calls(1);
    for (const ScriptLine& line : m_lines) {
        calls.back().push_back(line);
        if (line.op == ScriptOp::ExpectResult)
            calls.emplace_back();
    }
    if (calls.size() > 1 && calls.back().empty())
        calls.pop_back();
    return calls;
}

} // namespace daxohost
