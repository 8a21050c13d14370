#pragma once
// A bench file: the INI description of the simulated fixture that a test engineer writes.
// Internal to simbench.dll; CSimBench turns it into units.
#include <string>
#include <vector>

struct BenchUnitSettings {
    unsigned char typeCode[16];   // padded with blanks
    unsigned char serial[8];      // padded with zero bytes
    int address, baud, parity, answerDelay;
    int writeProtect, silent, answersFrom, identDelay, writeFails;
};

struct BenchSettings {
    enum { kUserConfigSize = 21, kDefaultBlockSize = 64 };

    std::vector<BenchUnitSettings> units;
    bool hasUserConfig = false;
    unsigned char userConfig[kUserConfigSize]{};
    bool hasDefaultBlock = false;
    unsigned char defaultBlock[kDefaultBlockSize]{};
    bool reconnectFails = false;
    // Why the file yields no unit, then what else a test engineer should know of it (a value
    // held at its limit or not taken as written, a repeated section or key, a host without a
    // stored configuration), a line each with the place in the file; empty when nothing.
    std::string warning;
};

BenchSettings ReadBenchFile(const std::string& path);

// `text` in `size` bytes, cut or filled up with `pad`.
void PadText(const std::string& text, unsigned char* out, size_t size, unsigned char pad);
