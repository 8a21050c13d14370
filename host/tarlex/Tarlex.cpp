#include "Tarlex.h"
#include "SimBench.h"

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
    return CSimBench::Instance().Reconnect(baud, bits, parity);
}

int CTarlexComm::Reconnect(int baud, int bits, int parity)
{
    Close();
    return Open(baud, bits, parity);
}

int CTarlexComm::IdentTest(unsigned char address, int requestFlag)
{
    return CSimBench::Instance().IdentRequest(address, requestFlag);
}

int CTarlexComm::ReadEEPROM(int checkFlag, unsigned char* image, int size)
{
    return CSimBench::Instance().CheckEEPROM(checkFlag, image, size);
}

int CTarlexComm::WriteConfig(const unsigned char* record, int length)
{
    return CSimBench::Instance().WriteConfig(record, length);
}
