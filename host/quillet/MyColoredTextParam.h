#pragma once
#include <windows.h>

// What a coloured-text control asks its dialog before it paints: red, green and blue,
// then 1 when the text is drawn in that colour (anything else: the system's text colour).
#pragma pack(push, 1)
struct _MY_COLORED_TEXT_STRUCT {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
    int useColor;
    unsigned char reserved[9];
};
#pragma pack(pop)
static_assert(sizeof(_MY_COLORED_TEXT_STRUCT) == 16, "colour description layout");

// Sent by a coloured-text control to its parent: wParam the control id, lParam the structure.
#define WM_MYCOLOREDTEXT_GETTEXTPARAM (WM_APP + 0x3A1)
