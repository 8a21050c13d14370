#pragma once
#include "SimBenchApi.h"
#include <windows.h>
#include <string>

// What the bench was asked, in order, for tests and for the host's bench window.
enum SimEventKind { SimEventRead = 1, SimEventWrite = 2, SimEventReconnect = 3, SimEventIdent = 4 };

// One request to the bench. `kind` says which of the groups below hold what was asked; the
// fields of the other kinds stay 0.
struct SimEvent {
    int kind;
    int unit;             // index of the connected unit, -1 when none
    int result;           // 1: image read, record written, line reopened, unit answered; else 0
    // SimEventRead
    int checkFlag;
    // SimEventWrite
    int length;
    unsigned char data[20];   // the first bytes of the record
    // SimEventReconnect
    int baud, bits, parity;
    // SimEventIdent
    int address, requestFlag;
};

struct SimUnitInfo {
    char typeCode[17];    // as stored, not trimmed
    char serial[9];
    int address, baud, parity, answerDelay;
    int writeProtect, silent, answersFrom;
    int identRequests;    // since the last successful write
    int written, done;
    unsigned char config[20];
    // Faults: every identification request takes identDelay ms; writeFails: every write
    // fails although JP1 is in WE.
    int identDelay, writeFails;
};

// The simulated fixture with its queue of units, the fieldbus line and the host's stored
// configuration. Safe to use from several threads.
class SIMBENCH_API CSimBench {
public:
    static CSimBench& Instance();

    // Reads the INI file that `path` names; null: the file DAXO_BENCH names, else the
    // built-in bench. Forgets every unit and event of before.
    void Load(const char* path);
    // Changes whenever something the operator sees at the bench changes: a unit connected,
    // written or answering for the first time, a jumper moved, a unit unplugged, a new load.
    // Requests that change nothing visible, such as the polls of a silent unit, leave it.
    unsigned int Revision() const;
    // Why the last load set up no unit ("the bench file ... is empty: no unit waits at the
    // fixture"), then each thing of the file worth a word (a value held at its limit, a
    // repeated section, a host without a stored configuration ...), a line each with its line
    // and column; empty when nothing. The run goes on.
    std::string LoadWarning() const;

    // The fixture, as the operator handles it.
    int UnitCount() const;
    int GetUnit(int index, SimUnitInfo* info) const;
    int ConnectedIndex() const;      // -1: nothing connected
    int ConnectNext();               // 1 when a unit is now connected
    void Unplug();
    int SetWriteProtect(int index, int on);

    // The host's side.
    int CheckEEPROM(int checkFlag, unsigned char* image, int size);
    int WriteConfig(const unsigned char* record, int length);
    int Reconnect(int baud, int bits, int parity);
    int IdentRequest(unsigned char address, int flag);
    const unsigned char* UserConfig() const;     // 21 bytes or null
    const unsigned char* DefaultBlock() const;   // at least 32 bytes or null

    // The record of requests keeps the last kRecordedEvents of them, oldest first, so that a
    // unit polled for hours costs no memory; TotalEvents counts every request since the last
    // load or ClearEvents.
    enum { kRecordedEvents = 4096 };
    int EventCount() const;
    int GetEvent(int index, SimEvent* event) const;
    unsigned long long TotalEvents() const;
    void ClearEvents();

    CSimBench(const CSimBench&) = delete;
    CSimBench& operator=(const CSimBench&) = delete;

private:
    CSimBench();
    ~CSimBench();
    static BOOL CALLBACK LoadOnce(PINIT_ONCE once, PVOID bench, PVOID* context);
    static CSimBench s_instance;
    struct Impl;
    Impl* m_pImpl;
};
