#include "ConfigList.h"
#include "Diagnostics.h"

namespace {
const char kSource[] = "ConfigList";
}

CConfigList::CConfigList() : m_Head{0, 0, nullptr}, m_pCurrent(nullptr) {}

CConfigList::~CConfigList() { Clear(); }

int CConfigList::FindUnit(long serial)
{
    for (CONFIG_LIST_ITEM* item = m_Head.pNext; item; item = item->pNext) {
        if (item->lSerialNumber == serial) {
            m_pCurrent = item;
            return 1;
        }
    }
    return 0;
}

int CConfigList::AddUnit(long serial, int address)
{
    CONFIG_LIST_ITEM* tail = &m_Head;
    for (CONFIG_LIST_ITEM* item = m_Head.pNext; item; item = item->pNext) {
        if (item->lSerialNumber == serial) {
            item->byAddress = static_cast<unsigned char>(address & 0xFF);
            return 1;
        }
        tail = item;
    }
    if (!tail) {
        Diagnose(kSource, __LINE__, "list has no tail");
        return 0;
    }
    if (tail->pNext) {
        Diagnose(kSource, __LINE__, "list tail has a successor");
        return 0;
    }
    // A failed allocation throws before the chain is touched, so the list stays as it was.
    CONFIG_LIST_ITEM* added = new CONFIG_LIST_ITEM{serial, static_cast<unsigned char>(address & 0xFF), nullptr};
    if (!added) {
        Diagnose(kSource, __LINE__, "no entry allocated");
        return 0;
    }
    tail->pNext = added;
    return 1;
}

int CConfigList::Clear()
{
    CONFIG_LIST_ITEM* item = m_Head.pNext;
    while (item) {
        CONFIG_LIST_ITEM* next = item->pNext;
        delete item;
        item = next;
    }
    m_Head = CONFIG_LIST_ITEM{0, 0, nullptr};
    m_pCurrent = nullptr;
    return 1;
}
