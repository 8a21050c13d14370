#pragma once
// Inside the tester's library: tells the host application's sink (TesterHooks.h) of one event.
void NotifyTesterEvent(int kind, const unsigned char* data, int length, int result);
