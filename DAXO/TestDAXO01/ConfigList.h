#pragma once
#include "MyObject.h"

struct CONFIG_LIST_ITEM {
    long lSerialNumber;
    unsigned char byAddress;
    CONFIG_LIST_ITEM* pNext;
};

// Serial numbers of the units configured in one series, with the address each was given,
// in the order they were first added.
class CConfigList : public CMyObject {
public:
    CConfigList();
    ~CConfigList() override;
    CConfigList(const CConfigList&) = delete;
    CConfigList& operator=(const CConfigList&) = delete;

    int FindUnit(long serial);
    int AddUnit(long serial, int address);
    int Clear();

    // For inspection: the first real entry, or null.
    const CONFIG_LIST_ITEM* First() const { return m_Head.pNext; }

private:
    CONFIG_LIST_ITEM m_Head;
    CONFIG_LIST_ITEM* m_pCurrent;
};
