#include "MessageBoxReader.h"
#include "WindowQueries.h"
#include <algorithm>
#include <utility>
#include <vector>

namespace opdriver {

namespace {

bool IsMessageBoxButtonId(int id)
{
    return id >= IDOK && id <= IDCONTINUE;
}

bool IsIconStatic(HWND window)
{
    return ClassIs(window, "Static") && (StyleOf(window) & SS_TYPEMASK) == SS_ICON;
}

unsigned ButtonsStyle(const std::vector<int>& ids)
{
    auto has = [&ids](int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    struct Set {
        unsigned style;
        std::vector<int> ids;
    };
    const Set sets[] = {{MB_OK, {IDOK}},
                        {MB_OKCANCEL, {IDOK, IDCANCEL}},
                        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
                        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
                        {MB_YESNO, {IDYES, IDNO}},
                        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
                        {MB_CANCELTRYCONTINUE, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}}};
    size_t answers = static_cast<size_t>(std::count_if(ids.begin(), ids.end(), [](int id) { return id != IDHELP; }));
    for (const Set& set : sets) {
        if (set.ids.size() == answers && std::all_of(set.ids.begin(), set.ids.end(), has))
            return set.style | (has(IDHELP) ? MB_HELP : 0u);
    }
    return has(IDHELP) ? MB_HELP : 0u;
}

unsigned IconStyle(HICON icon)
{
    if (!icon)
        return 0;
    const std::pair<LPCTSTR, unsigned> icons[] = {{IDI_HAND, MB_ICONHAND},
                                                  {IDI_QUESTION, MB_ICONQUESTION},
                                                  {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                                  {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& entry : icons) {
        if (::LoadIcon(nullptr, entry.first) == icon)
            return entry.second;
    }
    return 0;
}

} // namespace

bool IsMessageBoxWindow(HWND window)
{
    if (!window || !::IsWindow(window) || !ClassIs(window, "#32770"))
        return false;
    bool hasText = false;
    for (HWND child : DirectChildren(window)) {
        int id = ::GetDlgCtrlID(child);
        if (id == kMessageTextId && ClassIs(child, "Static"))
            hasText = true;
        else if (!(IsIconStatic(child) || (ClassIs(child, "Button") && IsMessageBoxButtonId(id))))
            return false;
    }
    return hasText;
}

unsigned MessageBoxStyle(HWND window)
{
    if (!IsMessageBoxWindow(window))
        return 0;
    struct Shown {
        int id;
        LONG left;
        bool isDefault;
    };
    std::vector<Shown> buttons;
    HICON icon = nullptr;
    for (HWND child : DirectChildren(window)) {
        if (IsIconStatic(child) && (StyleOf(child) & WS_VISIBLE) && !icon)
            icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        else if (ClassIs(child, "Button") && (StyleOf(child) & WS_VISIBLE)) {
            RECT area{};
            ::GetWindowRect(child, &area);
            bool isDefault = (StyleOf(child) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            buttons.push_back({::GetDlgCtrlID(child), area.left, isDefault});
        }
    }
    // The buttons from left to right, as MB_DEFBUTTONn counts them.
    std::stable_sort(buttons.begin(), buttons.end(), [](const Shown& a, const Shown& b) { return a.left < b.left; });
    std::vector<int> ids;
    unsigned defaultButton = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        ids.push_back(buttons[i].id);
        if (buttons[i].isDefault)
            defaultButton = static_cast<unsigned>(std::min<size_t>(i, 3)) * MB_DEFBUTTON2;
    }
    return ButtonsStyle(ids) | IconStyle(icon) | defaultButton;
}

} // namespace opdriver
