#include "MainWindow.h"
#include "HostContract.h"
#include "LanguageCheck.h"
#include "ResultLog.h"
#include "TextCodec.h"
#include <commdlg.h>

namespace daxohost {

namespace {

const char kClass[] = "DaxoHostMain";
const UINT kLogChanged = WM_APP + 1;
const unsigned kListId = 300;
const int kMainLeft = 40, kMainTop = 20, kMainWidth = 840, kMainHeight = 500;
// The module centres its dialogs on the screen; the largest, the configuration dialog, is
// about 610 x 350 pixels. The bench window goes below that band so that the operator sees
// the jumper and the units while a dialog is open.
const int kCentredDialogHalfHeight = 180, kBenchHeight = 270;
// The verdict line: one line of its large font, and the space kept around a story that wraps.
const int kVerdictMinHeight = 36, kVerdictPadding = 8;

struct VerdictLook {
    COLORREF text;
    COLORREF background;
};

const VerdictLook kAtWorkLook{RGB(0, 60, 140), RGB(222, 234, 252)};
const VerdictLook kQuietLook{RGB(70, 70, 70), RGB(236, 236, 236)};

VerdictLook LookOf(PassResult outcome)
{
    switch (outcome) {
    case PassResult::Configured: return {RGB(0, 100, 0), RGB(214, 250, 214)};
    case PassResult::Cancelled:
    case PassResult::Skipped: return kQuietLook;
    default: return {RGB(160, 0, 0), RGB(255, 222, 222)};
    }
}

std::string SessionLine(const SessionTotals& totals, const HostWords& words)
{
    return FillByKind(words(hosttext::SessionLine), {totals.Text(words)});
}

std::string UnitName(const UnitPass& pass, const HostWords& words)
{
    const std::string serial = pass.serial.empty() ? words(hosttext::NoSerial) : pass.serial;
    return "  " + FillByKind(words(hosttext::UnitName), {serial}) + "  ";
}

// The record as the operator finds it on the disk: the folder too, not the name alone.
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2] = "";
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

POINT BenchPlace()
{
    RECT work{0, 0, 1280, 1024};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int below = (work.top + work.bottom) / 2 + kCentredDialogHalfHeight + 8;
    int y = below + kBenchHeight <= work.bottom ? below : work.bottom - kBenchHeight;
    return {work.left + kMainLeft + 20, y > work.top ? y : work.top};
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, unsigned id)
{
    HWND child = ::CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                                   nullptr);
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

} // namespace

CMainWindow::CMainWindow(CTestObject test, CResultLog& log, std::string recordPath)
    : m_test(test), m_words(WordsOf(test)), m_log(log), m_recordPath(std::move(recordPath)),
      m_languages(test, kFirstLanguageCommand)
{
}

CMainWindow::~CMainWindow()
{
    if (m_window)
        ::DestroyWindow(m_window);
    if (m_verdictFont)
        ::DeleteObject(m_verdictFont);
    if (m_verdictBrush)
        ::DeleteObject(m_verdictBrush);
}

bool CMainWindow::Create(HINSTANCE instance, const std::string& moduleFile)
{
    m_moduleFile = moduleFile;
    WNDCLASSA windowClass{};
    if (!::GetClassInfoA(instance, kClass, &windowClass)) {
        windowClass.lpfnWndProc = &WindowRoute<CMainWindow>::Proc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        windowClass.hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClass;
        if (!::RegisterClassA(&windowClass))
            return false;
    }
    m_window = ::CreateWindowExA(0, kClass, "DAXO host", WS_OVERLAPPEDWINDOW, kMainLeft, kMainTop, kMainWidth,
                                 kMainHeight, nullptr, BuildMenu(), instance, this);
    if (!m_window)
        return false;
    POINT bench = BenchPlace();
    m_bench.Create(instance, bench.x, bench.y);
    ::ShowWindow(m_window, SW_SHOWNORMAL);
    m_bench.Show();
    ::SetForegroundWindow(m_window);
    // Reports may come from any thread; the list is only touched here.
    HWND window = m_window;
    m_log.AddListener([window](const LogEntry&) { ::PostMessageA(window, kLogChanged, 0, 0); });
    ShowNewEntries();
    return true;
}

HMENU CMainWindow::BuildMenu()
{
    auto item = [this](HMENU menu, UINT_PTR command, unsigned text, UINT flags = MF_STRING) {
        ::AppendMenuA(menu, flags, command, m_words(text).c_str());
    };
    HMENU file = ::CreatePopupMenu();
    item(file, kSaveLogCommand, hosttext::MenuSaveLog);
    ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    item(file, kExitCommand, hosttext::MenuExit);
    HMENU unit = ::CreatePopupMenu();
    item(unit, kConfigureCommand, hosttext::MenuConfigure);
    HMENU view = ::CreatePopupMenu();
    item(view, kBenchCommand, hosttext::MenuBench);
    HMENU bar = ::CreateMenu();
    item(bar, reinterpret_cast<UINT_PTR>(file), hosttext::MenuFile, MF_POPUP);
    item(bar, reinterpret_cast<UINT_PTR>(unit), hosttext::MenuUnit, MF_POPUP);
    item(bar, reinterpret_cast<UINT_PTR>(m_languages.Build()), hosttext::MenuLanguage, MF_POPUP);
    item(bar, reinterpret_cast<UINT_PTR>(view), hosttext::MenuView, MF_POPUP);
    return bar;
}

int CMainWindow::Run()
{
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

LRESULT CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
        return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kLogChanged:
        ShowNewEntries();
        return 0;
    case WM_CLOSE:
        // The module's dialogs belong to this window: it stays while they are open.
        if (!m_configuring)
            ::DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(m_window, message, wParam, lParam);
    }
}

std::string CMainWindow::ModuleInfo() const
{
    const char* name = m_test.GetModuleName();
    std::string tests;
    unsigned count = m_test.GetSupportedTestCount();
    for (unsigned i = 0; i < count && i < 64; ++i) {
        const char* test = m_test.GetSupportedTest(i);
        tests += (i ? ", " : "") + std::string(test ? test : "?");
    }
    return FillByKind(m_words(hosttext::ModuleLine), {name ? name : "?", m_moduleFile, tests}) + "\r\n" +
           FillByKind(m_words(hosttext::RecordLine), {FullPath(m_recordPath)});
}

void CMainWindow::OnCreate()
{
    m_info = Child(m_window, "STATIC", ModuleInfo().c_str(), SS_LEFT, 0);
    m_configure = Child(m_window, "BUTTON", "", WS_TABSTOP | BS_DEFPUSHBUTTON, kConfigureCommand);
    m_status = Child(m_window, "STATIC", "", SS_LEFT, 0);
    // Wrapped, and as high as the story needs: the address at its end is what the operator reads.
    m_verdict = Child(m_window, "STATIC", "", SS_LEFT | SS_NOPREFIX, 0);
    m_totals = Child(m_window, "STATIC", "", SS_LEFT, 0);
    m_verdictFont = ::CreateFontA(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
    if (m_verdictFont)
        ::SendMessageA(m_verdict, WM_SETFONT, reinterpret_cast<WPARAM>(m_verdictFont), FALSE);
    m_verdictText = ::GetSysColor(COLOR_WINDOWTEXT);
    m_verdictBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    m_view.Create(m_window, kListId);
    ShowWords();
}

// Every word of the window in the language in use: at the start, and again when the operator
// chooses another language.
void CMainWindow::ShowWords()
{
    ::SetWindowTextA(m_info, ModuleInfo().c_str());
    ::SetWindowTextA(m_configure, m_words(hosttext::MenuConfigure).c_str());
    m_view.SetHeadings(m_words);
    const unsigned advice = m_adviceId ? m_adviceId : static_cast<unsigned>(hosttext::AdviceStart);
    ::SetWindowTextA(m_status, m_words(advice).c_str());
    ::SetWindowTextA(m_totals, SessionLine(m_shownTotals, m_words).c_str());
    switch (m_verdictShown) {
    case VerdictShown::Nothing:
        SetVerdict(m_words(hosttext::NoUnitYet), ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_BTNFACE));
        break;
    case VerdictShown::AtWork: ShowUnitAtWork(m_shownPass, m_shownTotals); break;
    case VerdictShown::Verdict: ShowVerdict(m_shownPass, m_shownTotals); break;
    case VerdictShown::NoUnit: ShowNoUnit(); break;
    }
}

void CMainWindow::Layout(int width, int height)
{
    const int margin = 8, infoHeight = 34, buttonHeight = 28;
    ::MoveWindow(m_info, margin, margin, width - 2 * margin, infoHeight, TRUE);
    int y = margin + infoHeight + margin / 2;
    ::MoveWindow(m_configure, margin, y, 150, buttonHeight, TRUE);
    ::MoveWindow(m_status, 150 + 2 * margin, y + 6, width - 150 - 3 * margin, buttonHeight - 6, TRUE);
    y += buttonHeight + margin;
    const int verdictHeight = VerdictHeight(width - 2 * margin), totalsHeight = 18;
    ::MoveWindow(m_verdict, margin, y, width - 2 * margin, verdictHeight, TRUE);
    y += verdictHeight + margin / 2;
    ::MoveWindow(m_totals, margin, y, width - 2 * margin, totalsHeight, TRUE);
    y += totalsHeight + margin / 2;
    int listHeight = height - y - margin;
    ::MoveWindow(m_view.Handle(), margin, y, width - 2 * margin, listHeight > 20 ? listHeight : 20, TRUE);
}

int CMainWindow::VerdictHeight(int width) const
{
    const int length = ::GetWindowTextLengthA(m_verdict);
    std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
    ::GetWindowTextA(m_verdict, &text[0], static_cast<int>(text.size()));
    HDC dc = ::GetDC(m_verdict);
    HGDIOBJ before = ::SelectObject(dc, m_verdictFont ? m_verdictFont : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT needed{0, 0, width > 0 ? width : 1, 0};
    ::DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, before);
    ::ReleaseDC(m_verdict, dc);
    const int height = needed.bottom - needed.top + kVerdictPadding;
    return height > kVerdictMinHeight ? height : kVerdictMinHeight;
}

void CMainWindow::Relayout()
{
    RECT client{};
    if (m_window && ::GetClientRect(m_window, &client))
        Layout(client.right, client.bottom);
}

void CMainWindow::OnCommand(unsigned id)
{
    if (m_languages.OnCommand(id, m_window)) {
        // What a translation does to the configuration summary is seen before a unit is.
        for (const std::string& note : ReorderedMessages(m_test))
            m_log.AddNote("language file " + m_languages.ChosenFile() + ": " + note);
        HMENU old = ::GetMenu(m_window);
        ::SetMenu(m_window, BuildMenu());
        if (old)
            ::DestroyMenu(old);
        ShowWords();
        return;
    }
    switch (id) {
    case kConfigureCommand: ConfigureUnit(); break;
    case kSaveLogCommand: SaveLog(); break;
    case kBenchCommand: m_bench.Show(); break;
    case kExitCommand: ::SendMessageA(m_window, WM_CLOSE, 0, 0); break;
    default: break;
    }
}

LRESULT CMainWindow::OnNotify(NMHDR* header)
{
    if (header && header->idFrom == kListId && header->code == NM_CUSTOMDRAW)
        return m_view.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    return 0;
}

void CMainWindow::ConfigureUnit()
{
    // The module keeps one set of test parameters: one configuration at a time.
    if (m_configuring)
        return;
    m_configuring = true;
    m_adviceId = 0;
    ::SetWindowTextA(m_status, m_words(hosttext::AdviceConfiguring).c_str());
    int result = m_test.ConfigureThermometer(m_window, 0, 0);
    m_configuring = false;
    m_log.AddCallResult(result);
    // The verdict line says what became of each unit; this line says what to do next.
    if (!m_adviceId)
        m_adviceId = result == result::kCallConfigured ? AdviceText(PassResult::Configured)
                                                       : static_cast<unsigned>(hosttext::AdviceDone);
    ::SetWindowTextA(m_status, m_words(m_adviceId).c_str());
}

void CMainWindow::SetVerdict(const std::string& text, COLORREF textColour, COLORREF background)
{
    m_verdictText = textColour;
    if (HBRUSH brush = ::CreateSolidBrush(background)) {
        if (m_verdictBrush)
            ::DeleteObject(m_verdictBrush);
        m_verdictBrush = brush;
    }
    ::SetWindowTextA(m_verdict, text.c_str());
    Relayout();
    ::InvalidateRect(m_verdict, nullptr, TRUE);
}

void CMainWindow::ShowVerdict(const UnitPass& pass, const SessionTotals& totals)
{
    Remember(VerdictShown::Verdict, pass, totals);
    VerdictLook look = LookOf(totals.Outcome());
    SetVerdict(UnitName(pass, m_words) + totals.Story(m_words), look.text, look.background);
    ::SetWindowTextA(m_totals, SessionLine(totals, m_words).c_str());
    m_adviceId = AdviceText(totals.Outcome());
}

void CMainWindow::ShowUnitAtWork(const UnitPass& pass, const SessionTotals& totals)
{
    Remember(VerdictShown::AtWork, pass, totals);
    SetVerdict(UnitName(pass, m_words) + totals.InProgress(pass.serial, m_words), kAtWorkLook.text,
               kAtWorkLook.background);
}

void CMainWindow::ShowNoUnit()
{
    m_verdictShown = VerdictShown::NoUnit;
    SetVerdict("  " + m_words(hosttext::NoUnitVerdict), kQuietLook.text, kQuietLook.background);
    m_adviceId = hosttext::AdviceNoUnit;
}

void CMainWindow::Remember(VerdictShown shown, const UnitPass& pass, const SessionTotals& totals)
{
    m_verdictShown = shown;
    if (&pass != &m_shownPass)
        m_shownPass = pass;
    if (&totals != &m_shownTotals)
        m_shownTotals = totals;
}

LRESULT CMainWindow::OnControlColour(HDC dc, HWND control)
{
    if (control != m_verdict || !m_verdictBrush)
        return ::DefWindowProcA(m_window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(control));
    LOGBRUSH brush{};
    ::GetObjectA(m_verdictBrush, sizeof brush, &brush);
    ::SetTextColor(dc, m_verdictText);
    ::SetBkColor(dc, brush.lbColor);
    return reinterpret_cast<LRESULT>(m_verdictBrush);
}

void CMainWindow::SaveLog()
{
    char path[MAX_PATH] = "result-log.txt";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window;
    dialog.lpstrFilter = "Result log (*.txt)\0*.txt\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = "txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameA(&dialog))
        return;
    std::string reason;
    if (!m_log.Save(path, &reason))
        ::MessageBoxA(m_window, FillByKind(m_words(hosttext::LogNotSaved), {path, Utf8ToAnsi(reason)}).c_str(),
                      "DAXO host", MB_OK | MB_ICONERROR);
}

// The module ends a series with a break report when the operator stops after a unit (or
// declines a unit already configured): the operator's choice, not a failure.
bool CMainWindow::IsChosenEnd(const std::string& text) const
{
    for (unsigned id : {msg::SeriesEnded, msg::RepeatRefused}) {
        const char* ending = m_test.GetMessageA(id);
        if (ending && text == ending)
            return true;
    }
    return false;
}

void CMainWindow::ShowNewEntries()
{
    LogEntry entry;
    while (m_log.Entry(m_shown, &entry)) {
        m_view.Append(entry, entry.FromModule() && entry.code == result::kFailure && IsChosenEnd(entry.text));
        ++m_shown;
    }
}

} // namespace daxohost
