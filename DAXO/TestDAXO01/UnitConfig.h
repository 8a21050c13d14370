#pragma once
#include "UnitContract.h"
#include <stddef.h>

// One unit's configuration exactly as the unit stores it and the host keeps it: 21 bytes,
// no gaps. WriteConfig gets the first 20; `reserved` is never edited here.
#pragma pack(push, 1)
struct UnitConfig {
    unsigned char address;         // 1..125 on the fieldbus
    unsigned char answerDelay;     // ms before answering; 255: the unit does not answer
    unsigned char baudCode;        // a code of kBaudRates
    unsigned char parity;          // ParityCode
    unsigned char commTimeout[2];  // ms, little-endian; 0: no timeout
    unsigned char saveMarker[4];   // "save", stored before every write
    unsigned char quadrature;      // bit 0: I0/I1 paired, bit 1: I2/I3 paired
    unsigned char inputCurrent;    // bits 0-3: I0/I1 current code, bits 4-7: I2/I3
    unsigned char minPulse[4];     // steps of 2.5 ms, inputs I0..I3
    unsigned char maxPulse[4];
    unsigned char reserved;
};
#pragma pack(pop)

static_assert(sizeof(UnitConfig) == 21, "the record is 21 packed bytes");
static_assert(offsetof(UnitConfig, address) == record::kAddressByte &&
                  offsetof(UnitConfig, answerDelay) == record::kAnswerDelayByte &&
                  offsetof(UnitConfig, baudCode) == record::kBaudCodeByte &&
                  offsetof(UnitConfig, parity) == record::kParityByte && offsetof(UnitConfig, commTimeout) == 4 &&
                  offsetof(UnitConfig, saveMarker) == 6 && offsetof(UnitConfig, quadrature) == 10 &&
                  offsetof(UnitConfig, inputCurrent) == 11 && offsetof(UnitConfig, minPulse) == 12 &&
                  offsetof(UnitConfig, maxPulse) == 16 && offsetof(UnitConfig, reserved) == 20,
              "field offsets of the stored record");

// The bytes WriteConfig is given: everything before `reserved`.
const unsigned char kWrittenConfigBytes = 20;

// What the fields may hold.
const unsigned int kMinAddress = 1, kMaxAddress = 125;
const unsigned int kMaxAnswerDelay = 254;
const unsigned char kSilentDelay = 255;             // answerDelay: the unit does not answer
const unsigned int kMinCommTimeoutMs = 1, kMaxCommTimeoutMs = 65535;
const int kMaxPulseSteps = 255;                     // minPulse and maxPulse: 0 to this
const unsigned char kQuadratureI0I1 = 0x01, kQuadratureI2I3 = 0x02;
const int kInputCount = 4;                          // I0 to I3

// Rate in Bd of a rate code; a code outside the table counts as 38400.
int BaudRateOfCode(unsigned char code);
// The list text of a rate code, or null for a code outside the table.
const char* BaudTextOfCode(unsigned char code);

// The parity list's texts (code page 1250), by parity code 0..2.
extern const char* const kParityTexts[3];
// The list text of a parity code, or null for any other code.
const char* ParityTextOfCode(unsigned char code);

// The input-current list: texts and the code each entry writes.
extern const char* const kCurrentTexts[3];
extern const unsigned char kCurrentCodes[3];
// Which list entry a stored 4-bit current code selects: 2 -> 1, 3 -> 2, anything else -> 0.
int CurrentPositionOfCode(unsigned int code);
// The code a list entry's item data writes: held to 0..3 (no selection reads as -1).
unsigned char CurrentCodeOfItemData(long long itemData);

// A pulse spacing of `steps` × 2.5 ms as the dialog shows it ("%2.1f").
const double kPulseStepMs = 2.5;

unsigned int CommTimeoutOf(const UnitConfig& config);
void SetCommTimeout(UnitConfig& config, unsigned int milliseconds);
void SetSaveMarker(UnitConfig& config);

// What the host's default block says, decoded: bytes 8 (rate), 10 (parity), 15 (address)
// and 16 (answer delay) of the block.
struct DefaultConfig {
    unsigned char baudCode;
    unsigned char parity;
    unsigned char address;
    unsigned char answerDelay;
};
DefaultConfig DecodeDefaultBlock(const unsigned char* block);
unsigned char BaudCodeOfRateSelector(unsigned char byte8);
unsigned char ParityOfSelector(unsigned char byte10);
