#include "MyColoredText.h"

#define QUILLET_TEXT(x) #x
#define QUILLET_LINE(x) QUILLET_TEXT(x)

CMyColoredText::CMyColoredText() : CMyDialog(0, nullptr, nullptr) {}

CMyColoredText::~CMyColoredText()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

int CMyColoredText::Create(const char* text, DWORD style, HWND parent, unsigned int id, int, int,
                           const RECT* rect)
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    RECT area = rect ? *rect : RECT{0, 0, 0, 0};
    m_hParentWnd = parent;
    HWND window = ::CreateWindowExA(0, ClassName(), text ? text : "", style | WS_CHILD, area.left, area.top,
                                    area.right - area.left, area.bottom - area.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    ::GetModuleHandleA("quillet.dll"), this);
    return window ? 1 : 0;
}

void CMyColoredText::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT area;
    ::GetClientRect(m_hWnd, &area);
    HWND parent = ::GetParent(m_hWnd);
    _MY_COLORED_TEXT_STRUCT param{};
    LRESULT asked = parent ? ::SendMessageA(parent, WM_MYCOLOREDTEXT_GETTEXTPARAM,
                                            static_cast<WPARAM>(::GetDlgCtrlID(m_hWnd)),
                                            reinterpret_cast<LPARAM>(&param))
                           : 0;
    HFONT font = parent ? reinterpret_cast<HFONT>(::SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    COLORREF color = (asked && param.useColor == 1) ? RGB(param.red, param.green, param.blue)
                                                    : ::GetSysColor(COLOR_BTNTEXT);
    ::SetTextColor(dc, color);
    char text[512];
    int length = ::GetWindowTextA(m_hWnd, text, sizeof text);
    ::DrawTextA(dc, text, length, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &paint);
}

LRESULT CALLBACK CMyColoredText::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<CMyColoredText*>(create->lpCreateParams);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->m_hWnd = window;
    }
    auto* self = reinterpret_cast<CMyColoredText*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self)
            self->m_hWnd = nullptr;
    }
    if (self && message == WM_PAINT) {
        try {
            self->Paint();
            return 0;
        } catch (...) {
            OutputDebugStringA("quillet(" QUILLET_LINE(__LINE__) "): exception while painting a coloured text\n");
        }
    }
    if (message == WM_SETTEXT) {
        LRESULT done = ::DefWindowProcA(window, message, wParam, lParam);
        ::InvalidateRect(window, nullptr, TRUE);
        return done;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
