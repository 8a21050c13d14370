#pragma once
#include "TarlexApi.h"

// The host's fieldbus port: a line with its rate, data bits and parity.
class TARLEX_API CTarlex {
public:
    CTarlex();
    virtual ~CTarlex();

    virtual int Open(int baud, int bits, int parity);
    virtual int Close();
    int IsOpen() const { return m_bOpen; }
    int GetBaudRate() const { return m_nBaud; }
    int GetParity() const { return m_nParity; }

protected:
    int m_bOpen = 0;
    int m_nBaud = 9600;
    int m_nBits = 8;
    int m_nParity = 0;
};

// The communication channel of a tester: what the tester asks of the units on the line.
class TARLEX_API CTarlexComm : public CTarlex {
public:
    CTarlexComm();
    ~CTarlexComm() override;

    int Open(int baud, int bits, int parity) override;
    int Reconnect(int baud, int bits, int parity);
    int IdentTest(unsigned char address, int requestFlag);
    int ReadEEPROM(int checkFlag, unsigned char* image, int size);
    int WriteConfig(const unsigned char* record, int length);
};
