#include "BenchWindow.h"
#include "SimBench.h"
#include <commctrl.h>
#include <cstring>

namespace daxohost {

namespace {

const char kClass[] = "DaxoHostBench";
const UINT_PTR kRefreshTimer = 1;
const UINT kRefreshMs = 250;
// An answer delay so long that the unit never answers.
const int kNeverAnswers = 255;

const char* const kButtonTexts[3] = {"Move &JP1 of the selected unit", "Connect &next unit", "&Unplug unit"};
const unsigned kButtonIds[3] = {CBenchWindow::kJumperCommand, CBenchWindow::kNextCommand,
                                 CBenchWindow::kUnplugCommand};

const struct {
    const char* title;
    int width;
} kColumnHeads[] = {{"Unit", 40},   {"Type code", 90}, {"Serial", 75},   {"Address", 55},   {"Rate [Bd]", 65},
                    {"Parity", 50}, {"JP1", 95},       {"Answers", 90}, {"State", 190}};

std::string Trimmed(const char* text, size_t size)
{
    std::string value(text, ::strnlen(text, size));
    size_t end = value.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : value.substr(0, end + 1);
}

} // namespace

CBenchWindow::~CBenchWindow()
{
    if (m_window)
        ::DestroyWindow(m_window);
}

bool CBenchWindow::Create(HINSTANCE instance, int x, int y)
{
    WNDCLASSA windowClass{};
    if (!::GetClassInfoA(instance, kClass, &windowClass)) {
        windowClass.lpfnWndProc = &WindowRoute<CBenchWindow>::Proc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClass;
        if (!::RegisterClassA(&windowClass))
            return false;
    }
    // No owner: the module's dialogs disable their owner, and this window must stay usable.
    m_window = ::CreateWindowExA(0, kClass, "Simulated bench", WS_OVERLAPPEDWINDOW, x, y, 860, 270, nullptr, nullptr,
                                 instance, this);
    return m_window != nullptr;
}

void CBenchWindow::Show()
{
    if (!m_window)
        return;
    ::ShowWindow(m_window, SW_SHOWNORMAL);
    ::SetForegroundWindow(m_window);
}

LRESULT CBenchWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        Refresh(false);
        return 0;
    case WM_CLOSE:
        // The bench stays where it is; the main window's menu brings it back.
        ::ShowWindow(m_window, SW_HIDE);
        return 0;
    case WM_DESTROY:
        ::KillTimer(m_window, kRefreshTimer);
        return 0;
    default:
        return ::DefWindowProcA(m_window, message, wParam, lParam);
    }
}

void CBenchWindow::OnCreate()
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    m_list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                   LVS_NOSORTHEADER,
                               0, 0, 10, 10, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                               instance, nullptr);
    ::SendMessageA(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int i = 0; i < kColumns; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(kColumnHeads[i].title);
        column.cx = kColumnHeads[i].width;
        ::SendMessageA(m_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = ::CreateWindowExA(0, "BUTTON", kButtonTexts[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                         0, 0, 10, 10, m_window,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonIds[i])), instance, nullptr);
        ::SendMessageA(m_buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    m_status = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, m_window, nullptr,
                                 instance, nullptr);
    ::SendMessageA(m_status, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Refresh(true);
    ::SetTimer(m_window, kRefreshTimer, kRefreshMs, nullptr);
}

void CBenchWindow::Layout(int width, int height)
{
    const int margin = 8, buttonHeight = 26, statusHeight = 18;
    int listHeight = height - 3 * margin - buttonHeight - statusHeight;
    ::MoveWindow(m_list, margin, margin, width - 2 * margin, listHeight > 20 ? listHeight : 20, TRUE);
    int y = height - margin - buttonHeight;
    const int widths[3] = {220, 150, 120};
    int x = margin;
    for (int i = 0; i < 3; ++i) {
        ::MoveWindow(m_buttons[i], x, y, widths[i], buttonHeight, TRUE);
        x += widths[i] + margin;
    }
    ::MoveWindow(m_status, margin, y - margin / 2 - statusHeight, width - 2 * margin, statusHeight, TRUE);
}

int CBenchWindow::SelectedUnit() const
{
    return static_cast<int>(::SendMessageA(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CBenchWindow::OnCommand(unsigned id)
{
    CSimBench& bench = CSimBench::Instance();
    if (id == kJumperCommand) {
        SimUnitInfo unit{};
        int index = SelectedUnit();
        if (bench.GetUnit(index, &unit))
            bench.SetWriteProtect(index, unit.writeProtect ? 0 : 1);
        else
            ::MessageBoxA(m_window, "Select the unit whose jumper JP1 you want to move.", "Simulated bench",
                          MB_OK | MB_ICONINFORMATION);
    } else if (id == kNextCommand) {
        if (!bench.ConnectNext())
            ::MessageBoxA(m_window, "No further unit waits at the fixture.", "Simulated bench",
                          MB_OK | MB_ICONINFORMATION);
    } else if (id == kUnplugCommand) {
        bench.Unplug();
    }
    Refresh(true);
}

std::string CBenchWindow::CellText(const SimUnitInfo& unit, int index, bool connected, int column)
{
    switch (column) {
    case 0: return std::to_string(index + 1);
    case 1: return Trimmed(unit.typeCode, sizeof unit.typeCode - 1);
    case 2: return std::string(unit.serial, ::strnlen(unit.serial, sizeof unit.serial - 1));
    case 3: return std::to_string(unit.address);
    case 4: return std::to_string(unit.baud);
    case 5: return unit.parity == 0 ? "none" : unit.parity == 1 ? "odd" : "even";
    case 6: return unit.writeProtect ? "WP (protected)" : "WE";
    case 7:
        if (unit.silent || unit.answerDelay == kNeverAnswers)
            return "never";
        return unit.answersFrom > 1 ? "from poll " + std::to_string(unit.answersFrom) : "at once";
    case 8: {
        std::string state = connected ? "<< CONNECTED" : "";
        const char* progress = unit.done ? "configured" : unit.written ? "written" : "";
        if (*progress)
            state += (state.empty() ? "" : ", ") + std::string(progress);
        return state;
    }
    default: return {};
    }
}

void CBenchWindow::Refresh(bool always)
{
    CSimBench& bench = CSimBench::Instance();
    unsigned revision = bench.Revision();
    if (!always && m_filled && revision == m_revision)
        return;
    m_revision = revision;
    m_filled = true;
    int selected = SelectedUnit();
    ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
    const int connected = bench.ConnectedIndex();
    for (int index = 0; index < bench.UnitCount(); ++index) {
        SimUnitInfo unit{};
        if (!bench.GetUnit(index, &unit))
            break;
        for (int column = 0; column < kColumns; ++column) {
            std::string text = CellText(unit, index, index == connected, column);
            LVITEMA item{};
            item.iItem = index;
            item.iSubItem = column;
            item.pszText = const_cast<char*>(text.c_str());
            if (column == 0) {
                item.mask = LVIF_TEXT;
                ::SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            } else {
                ::SendMessageA(m_list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
            }
        }
    }
    if (selected >= 0) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(m_list, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&state));
    }
    ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
    std::string status = connected >= 0 ? "Unit " + std::to_string(connected + 1) + " is connected to the fieldbus."
                                        : "No unit is connected.";
    status += "  " + std::to_string(bench.UnitCount()) + " units at the fixture.";
    ::SetWindowTextA(m_status, status.c_str());
}

} // namespace daxohost
