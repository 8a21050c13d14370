#include "DialogRunner.h"
#include "Diagnostics.h"
#include <string.h>

INT_PTR RunModalDialog(CMyDialog& dialog, HINSTANCE instance, const char* source, int line,
                       bool diagnoseCreateFailure)
{
    DLGPROC procedure = dialog.GetWndProc();
    if (!procedure) {
        CMyObject::OutputDebugStringA("DLGPROC je NULL\n");
        Diagnose(source, line, "no dialog procedure");
        return -1;
    }
    if (!instance) {
        CMyObject::OutputDebugStringA("HINSTANCE je NULL\n");
        Diagnose(source, line, "no instance handle");
        return -2;
    }
    INT_PTR result = ::DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog.GetClassTemplate()),
                                       dialog.GetParentWindow(), procedure, reinterpret_cast<LPARAM>(&dialog));
    if (result == 0) {
        CMyObject::OutputDebugStringA("hParentWnd neni platny\n");
    } else if (result == -1) {
        CMyObject::OutputDebugStringA("Nepodarilo se vytvorit dialogove okno\n");
        if (diagnoseCreateFailure)
            Diagnose(source, line, "the dialog window could not be created");
    }
    return result;
}

int DescribeColouredLine(unsigned int id, unsigned int ownId, unsigned char red, unsigned char green,
                         unsigned char blue, _MY_COLORED_TEXT_STRUCT* param)
{
    if (!param)
        return 0;
    if (id == ownId) {
        // The toolkit reads the flag right after the three colour bytes, unaligned.
        const unsigned char description[7] = {red, green, blue, 1, 0, 0, 0};
        memcpy(param, description, sizeof description);
    }
    return 1;
}
