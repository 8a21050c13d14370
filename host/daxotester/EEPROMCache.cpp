#include "EEPROMCache.h"
#include <string.h>

CEEPROMCache::CEEPROMCache() { memset(m_Image, 0, sizeof m_Image); }
CEEPROMCache::~CEEPROMCache() = default;

unsigned char* CEEPROMCache::GetEEPROMCacheFrom(unsigned char offset, int)
{
    return m_Image + offset;
}
