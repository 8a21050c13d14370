#include "Tarlex.h"
#include "BenchLine.h"

CTarlex::CTarlex() = default;
CTarlex::~CTarlex() { Close(); }

int CTarlex::Open(int baud, int bits, int parity)
{
    m_nBaud = baud;
    m_nBits = bits;
    m_nParity = parity;
    m_bOpen = 1;
    return 1;
}

int CTarlex::Close()
{
    m_bOpen = 0;
    return 1;
}

CTarlexComm::CTarlexComm() = default;
CTarlexComm::~CTarlexComm() = default;

int CTarlexComm::Open(int baud, int bits, int parity)
{
    CTarlex::Open(baud, bits, parity);
    return SimBenchReconnect(baud, bits, parity);
}

int CTarlexComm::Reconnect(int baud, int bits, int parity)
{
    Close();
    return Open(baud, bits, parity);
}

int CTarlexComm::IdentTest(unsigned char address, int requestFlag)
{
    return SimBenchIdentRequest(address, requestFlag);
}

int CTarlexComm::ReadEEPROM(int checkFlag, unsigned char* image, int size)
{
    return SimBenchCheckEEPROM(checkFlag, image, size);
}

int CTarlexComm::WriteConfig(const unsigned char* record, int length)
{
    return SimBenchWriteConfig(record, length);
}
