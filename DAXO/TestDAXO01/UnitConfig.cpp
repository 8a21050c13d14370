#include "UnitConfig.h"

const char* const kParityTexts[3] = {"\x8E\xE1\x64n\xE1 (NO)", "Lich\xE1 (ODD)", "Sud\xE1 (EVEN)"};

const char* const kCurrentTexts[3] = {"p\xF8ibli\x9En\xEC 50uA", "p\xF8ibli\x9En\xEC 100uA",
                                      "p\xF8ibli\x9En\xEC 150uA"};
const unsigned char kCurrentCodes[3] = {0, 2, 3};

int BaudRateOfCode(unsigned char code)
{
    for (const BaudRate& rate : kBaudRates)
        if (rate.code == code)
            return rate.baud;
    return 38400;
}

const char* BaudTextOfCode(unsigned char code)
{
    for (const BaudRate& rate : kBaudRates)
        if (rate.code == code)
            return rate.text;
    return nullptr;
}

const char* ParityTextOfCode(unsigned char code)
{
    return code < 3 ? kParityTexts[code] : nullptr;
}

int CurrentPositionOfCode(unsigned int code)
{
    switch (code & 0x0F) {
    case 2: return 1;
    case 3: return 2;
    default: return 0;
    }
}

unsigned char CurrentCodeOfItemData(long long itemData)
{
    if (itemData < 0)
        return 0;
    if (itemData > 3)
        return 3;
    return static_cast<unsigned char>(itemData);
}

unsigned int CommTimeoutOf(const UnitConfig& config)
{
    return config.commTimeout[0] | (config.commTimeout[1] << 8);
}

void SetCommTimeout(UnitConfig& config, unsigned int milliseconds)
{
    config.commTimeout[0] = static_cast<unsigned char>(milliseconds & 0xFF);
    config.commTimeout[1] = static_cast<unsigned char>((milliseconds >> 8) & 0xFF);
}

void SetSaveMarker(UnitConfig& config)
{
    config.saveMarker[0] = 's';
    config.saveMarker[1] = 'a';
    config.saveMarker[2] = 'v';
    config.saveMarker[3] = 'e';
}

unsigned char BaudCodeOfRateSelector(unsigned char byte8)
{
    switch (byte8 >> 4) {
    case 4: return 1;
    case 5: return 2;
    case 6: return 4;
    case 7: return 9;
    case 8: return 19;
    default: return 38;
    }
}

unsigned char ParityOfSelector(unsigned char byte10)
{
    switch (byte10 >> 5) {
    case 4: return 2;  // 100: even
    case 5: return 1;  // 101: odd
    default: return 0;
    }
}

DefaultConfig DecodeDefaultBlock(const unsigned char* block)
{
    return DefaultConfig{BaudCodeOfRateSelector(block[8]), ParityOfSelector(block[10]), block[15], block[16]};
}
