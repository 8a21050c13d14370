#include "BenchLine.h"
#include "SimBench.h"

namespace {
// No exception may cross into a caller built in another C++ ABI: a request the bench could not
// serve is one the line did not carry.
template <typename Result, typename Call>
Result Guarded(Result nothing, Call call)
{
    try {
        return call(CSimBench::Instance());
    } catch (...) {
        return nothing;
    }
}
} // namespace

int SimBenchCheckEEPROM(int checkFlag, unsigned char* image, int size)
{
    return Guarded(0, [=](CSimBench& bench) { return bench.CheckEEPROM(checkFlag, image, size); });
}

int SimBenchWriteConfig(const unsigned char* record, int length)
{
    return Guarded(0, [=](CSimBench& bench) { return bench.WriteConfig(record, length); });
}

int SimBenchReconnect(int baud, int bits, int parity)
{
    return Guarded(0, [=](CSimBench& bench) { return bench.Reconnect(baud, bits, parity); });
}

int SimBenchIdentRequest(unsigned char address, int flag)
{
    return Guarded(0, [=](CSimBench& bench) { return bench.IdentRequest(address, flag); });
}

const unsigned char* SimBenchUserConfig(void)
{
    return Guarded(static_cast<const unsigned char*>(nullptr), [](CSimBench& bench) { return bench.UserConfig(); });
}

const unsigned char* SimBenchDefaultBlock(void)
{
    return Guarded(static_cast<const unsigned char*>(nullptr), [](CSimBench& bench) { return bench.DefaultBlock(); });
}
