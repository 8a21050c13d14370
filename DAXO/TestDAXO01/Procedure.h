#pragma once
// The configuration procedure behind CTestDAXO01::ConfigureThermometer: reads each connected
// unit, lets the operator configure it, tests it and goes on through a series. Nothing of it
// is exported: the host knows only the test object's virtual operations.
#include "UnitContract.h"
#include <windows.h>

class CTestDAXO01;

// Runs the passes of one call and empties the configured-units list before it returns.
// Exceptions pass.
int RunConfiguration(CTestDAXO01& test, HWND parent, unsigned short testId, int checkFlag);
