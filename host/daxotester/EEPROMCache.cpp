#include "EEPROMCache.h"
#include "TesterEvents.h"
#include "TesterHooks.h"
#include <string.h>

CEEPROMCache::CEEPROMCache() { memset(m_Image, 0, sizeof m_Image); }
CEEPROMCache::~CEEPROMCache() = default;

unsigned char* CEEPROMCache::GetEEPROMCacheFrom(unsigned char offset, int)
{
    NotifyTesterEvent(TesterEventCacheRead, m_Image + offset, offset, 1);
    return m_Image + offset;
}
