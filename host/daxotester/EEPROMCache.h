#pragma once
#include "DaxoTesterApi.h"

// The tester's copy of the connected unit's EEPROM, filled by CheckEEPROM.
class DAXOTESTER_API CEEPROMCache {
public:
    enum { Size = 256 };

    CEEPROMCache();
    ~CEEPROMCache();

    // The characters at `offset` of the image. The image has slack beyond its last byte, so
    // a field of up to 16 characters can be read from any offset.
    unsigned char* GetEEPROMCacheFrom(unsigned char offset, int reserved);
    unsigned char* Image() { return m_Image; }
    int IsValid() const { return m_bValid; }
    void SetValid(int valid) { m_bValid = valid; }

private:
    unsigned char m_Image[Size + 16];
    int m_bValid = 0;
};
