#pragma once
// The host's side of the simulated bench through C entry points: the fieldbus and tester
// libraries that call it are not built in the C++ ABI of its library.

#ifdef __cplusplus
extern "C" {
#endif
// Reads the connected unit's EEPROM into `image`: 1 when a unit answered.
int SimBenchCheckEEPROM(int checkFlag, unsigned char* image, int size);
// Writes a configuration record into the connected unit: 1 when it took it.
int SimBenchWriteConfig(const unsigned char* record, int length);
// Reopens the line with new settings: 1 when it is open with them.
int SimBenchReconnect(int baud, int bits, int parity);
// Asks the unit at `address` to identify itself: 1 when it answered.
int SimBenchIdentRequest(unsigned char address, int flag);
// The host's stored configuration (21 bytes) and its default block (at least 32 bytes), or null.
const unsigned char* SimBenchUserConfig(void);
const unsigned char* SimBenchDefaultBlock(void);
#ifdef __cplusplus
}
#endif
