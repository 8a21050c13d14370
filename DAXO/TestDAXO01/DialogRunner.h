#pragma once
#include "MyDialog.h"

// Show's one mode: modal, through RunModal.
const int kShowModal = -1;
// What a dialog ends with when the operator's step succeeded (written, answered, confirmed);
// the procedure takes any other value as a step that did not.
const INT_PTR kDialogDone = 1;

// The modal runner that each dialog's RunModal uses: checks the procedure and the
// instance, creates the dialog from its template with the object as parameter and reports
// what went wrong, naming the calling source and line.
//  -1: no dialog procedure, or the window could not be created; -2: no instance handle;
//   0: the parent window is not valid; otherwise the value the dialog ended with.
INT_PTR RunModalDialog(CMyDialog& dialog, HINSTANCE instance, const char* source, int line,
                       bool diagnoseCreateFailure);

// Answers a coloured-text control's question for the dialog's one coloured line `ownId`:
// red, green, blue, then 1 (paint in that colour). Other lines are left as they are.
int DescribeColouredLine(unsigned int id, unsigned int ownId, unsigned char red, unsigned char green,
                         unsigned char blue, _MY_COLORED_TEXT_STRUCT* param);
