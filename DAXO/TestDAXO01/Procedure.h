#pragma once
// The configuration procedure behind CTestDAXO01::ConfigureThermometer: reads each connected
// unit, lets the operator configure it, tests it and goes on through a series. Nothing of it
// is exported: the host knows only the test object's virtual operations.
#include <windows.h>

class CTestDAXO01;

// Runs the passes of one call and empties the configured-units list before it returns 1 (one
// unit configured and tested outside a series) or 2 (every other ending). Exceptions pass.
int RunConfiguration(CTestDAXO01& test, HWND parent, unsigned short testId, int checkFlag);
