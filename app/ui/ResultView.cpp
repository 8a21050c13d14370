#include "ResultView.h"
#include "HostContract.h"

namespace daxohost {

namespace {
// Item data: the code in the low word, with these bits for the host's own rows, its notes
// and an ending the operator chose.
const LPARAM kCodeMask = 0xFFFF;
const LPARAM kHostRowBit = 0x10000, kNoteBit = 0x20000, kChosenEndBit = 0x40000;
}

bool CResultView::Create(HWND parent, int id)
{
    m_list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                               0, 0, 100, 100, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (!m_list)
        return false;
    ::SendMessageA(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int widths[] = {95, 50, 640};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>("");
        column.cx = widths[i];
        ::SendMessageA(m_list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    SetHeadings(EnglishWords());
    return true;
}

void CResultView::SetHeadings(const HostWords& words)
{
    const unsigned heads[] = {hosttext::ColumnTime, hosttext::ColumnCode, hosttext::ColumnText};
    for (int i = 0; i < 3; ++i) {
        const std::string head = words(heads[i]);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<char*>(head.c_str());
        ::SendMessageA(m_list, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CResultView::Append(const LogEntry& entry, bool chosenEnd)
{
    if (!m_list)
        return;
    const std::string time = CResultLog::TimeText(entry.time);
    const std::string code = CResultLog::CodeText(entry);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(time.c_str());
    item.lParam = (entry.code & kCodeMask) | (entry.FromModule() ? 0 : kHostRowBit) |
                  (entry.source == LogSource::HostNote ? kNoteBit : 0) | (chosenEnd ? kChosenEndBit : 0);
    int index = static_cast<int>(::SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return;
    const std::string* texts[] = {&code, &entry.text};
    for (int column = 1; column <= 2; ++column) {
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(texts[column - 1]->c_str());
        ::SendMessageA(m_list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    }
    ::SendMessageA(m_list, LVM_ENSUREVISIBLE, index, FALSE);
}

CResultView::Colours CResultView::ColoursOf(int code, bool hostRow)
{
    if (hostRow)
        return {RGB(90, 90, 90), RGB(236, 236, 236)};
    switch (code) {
    case result::kProgress: return {RGB(0, 0, 140), RGB(255, 255, 255)};
    case result::kFailure: return {RGB(170, 0, 0), RGB(255, 228, 228)};
    case result::kSuccess: return {RGB(0, 110, 0), RGB(228, 255, 228)};
    case result::kSummary: return {RGB(0, 0, 0), RGB(255, 244, 190)};
    default: return {RGB(0, 0, 0), RGB(255, 255, 255)};
    }
}

CResultView::Colours CResultView::NoteColours()
{
    return {RGB(255, 255, 255), RGB(70, 90, 120)};
}

CResultView::Colours CResultView::ChosenEndColours()
{
    return {RGB(60, 60, 60), RGB(236, 236, 236)};
}

LRESULT CResultView::OnCustomDraw(NMLVCUSTOMDRAW* draw) const
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        LPARAM data = draw->nmcd.lItemlParam;
        const int code = static_cast<int>(data & kCodeMask);
        Colours colours = (data & kNoteBit)        ? NoteColours()
                          : (data & kChosenEndBit) ? ChosenEndColours()
                                                   : ColoursOf(code, (data & kHostRowBit) != 0);
        draw->clrText = colours.text;
        draw->clrTextBk = colours.background;
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

} // namespace daxohost
