#include "SimBench.h"
#include "BenchFile.h"
#include "UnitContract.h"
#include <windows.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kImageSize = 256;
const int kDefaultBlockSize = BenchSettings::kDefaultBlockSize;

struct Unit {
    SimUnitInfo info{};
    unsigned char image[kImageSize]{};
    bool checked = false;            // read by CheckEEPROM since it was connected
    bool writtenSinceCheck = false;
    bool answered = false;           // has answered an identification request
};

// A code the unit does not know runs it at the fastest rate, as a real unit's firmware does.
int RateOfCode(int code)
{
    for (const BaudRate& rate : kBaudRates)
        if (rate.code == code)
            return rate.baud;
    return kBaudRates[kBaudRateCount - 1].baud;
}

// The code of the fastest known rate not above `baud`.
int CodeOfRate(int baud)
{
    int code = kBaudRates[0].code;
    for (const BaudRate& rate : kBaudRates)
        if (rate.baud <= baud)
            code = rate.code;
    return code;
}

void StoreConfigInImage(Unit& unit)
{
    unit.image[record::kAddressByte] = static_cast<unsigned char>(unit.info.address);
    unit.image[record::kAnswerDelayByte] = static_cast<unsigned char>(unit.info.answerDelay);
    unit.image[record::kBaudCodeByte] = static_cast<unsigned char>(CodeOfRate(unit.info.baud));
    unit.image[record::kParityByte] = static_cast<unsigned char>(unit.info.parity);
    std::memcpy(unit.info.config, unit.image, sizeof unit.info.config);
}

Unit MakeUnit(const unsigned char type[16], const unsigned char serial[8], int address, int baud, int parity)
{
    Unit unit;
    std::memcpy(unit.image + image::kTypeCodeOffset, type, image::kTypeCodeLength);
    std::memcpy(unit.image + image::kSerialOffset, serial, image::kSerialLength);
    std::memcpy(unit.info.typeCode, type, 16);
    std::memcpy(unit.info.serial, serial, 8);
    unit.info.address = address;
    unit.info.baud = baud;
    unit.info.parity = parity;
    unit.info.answersFrom = 1;
    StoreConfigInImage(unit);
    return unit;
}

} // namespace

struct CSimBench::Impl {
    mutable CRITICAL_SECTION lock;
    INIT_ONCE loaded = INIT_ONCE_STATIC_INIT;
    std::vector<Unit> units;
    int connected = -1;
    int nextUnit = 0;
    int lineBaud = 9600, lineBits = 8, lineParity = 0;
    bool reconnectFails = false;
    bool hasUserConfig = false;
    unsigned char userConfig[21]{};
    bool hasDefaultBlock = false;
    unsigned char defaultBlock[kDefaultBlockSize]{};
    std::vector<SimEvent> events;    // a ring of at most kRecordedEvents
    size_t oldestEvent = 0;
    unsigned long long totalEvents = 0;
    unsigned int revision = 0;
    std::string loadWarning;

    // An event of the connected unit; the caller fills in what was asked.
    SimEvent NewEvent(int kind, int result) const
    {
        SimEvent event{};
        event.kind = kind;
        event.unit = connected;
        event.result = result;
        return event;
    }

    void Record(const SimEvent& event)
    {
        if (events.size() < static_cast<size_t>(kRecordedEvents)) {
            events.push_back(event);
        } else {
            events[oldestEvent] = event;
            oldestEvent = (oldestEvent + 1) % events.size();
        }
        ++totalEvents;
    }

    void ForgetEvents()
    {
        events.clear();
        oldestEvent = 0;
        totalEvents = 0;
    }

    Unit* Connected() { return connected >= 0 ? &units[connected] : nullptr; }

    // The unit's side of an identification request: whether it answers, and after how long.
    int Identify(unsigned char address, int flag, int* delay);

    void Connect(int index)
    {
        connected = index < static_cast<int>(units.size()) ? index : -1;
        if (connected >= 0) {
            nextUnit = connected + 1;
            units[connected].checked = false;
            units[connected].writtenSinceCheck = false;
        }
        ++revision;
    }

    void LoadBuiltIn()
    {
        for (int i = 0; i < 3; ++i) {
            unsigned char type[16], serial[8];
            PadText("VX1205.10", type, 16, ' ');
            char digits[9];
            std::snprintf(digits, sizeof digits, "%08d", 712 + i);
            PadText(digits, serial, 8, 0);
            units.push_back(MakeUnit(type, serial, 1, 9600, 0));
        }
        // A host that has stored one configuration and knows the factory defaults.
        const unsigned char user[21] = {1, 0, 9, 0, 0x58, 0x02, 's', 'a', 'v', 'e', 0, 0,
                                        1, 1, 1, 1, 255, 255, 255, 255, 0};
        std::memcpy(userConfig, user, sizeof user);
        hasUserConfig = true;
        defaultBlock[8] = 0x70;   // 9600 Bd
        defaultBlock[10] = 0x00;  // no parity
        defaultBlock[15] = 1;
        defaultBlock[16] = 0;
        hasDefaultBlock = true;
    }

    void LoadIni(const std::string& path)
    {
        BenchSettings file = ReadBenchFile(path);
        std::memcpy(userConfig, file.userConfig, sizeof userConfig);
        hasUserConfig = file.hasUserConfig;
        std::memcpy(defaultBlock, file.defaultBlock, sizeof defaultBlock);
        hasDefaultBlock = file.hasDefaultBlock;
        reconnectFails = file.reconnectFails;
        loadWarning = file.warning;
        for (const BenchUnitSettings& settings : file.units) {
            Unit unit = MakeUnit(settings.typeCode, settings.serial, settings.address, settings.baud, settings.parity);
            unit.info.answerDelay = settings.answerDelay;
            unit.info.writeProtect = settings.writeProtect;
            unit.info.silent = settings.silent;
            unit.info.answersFrom = settings.answersFrom;
            unit.info.identDelay = settings.identDelay;
            unit.info.writeFails = settings.writeFails;
            StoreConfigInImage(unit);
            units.push_back(unit);
        }
    }
};

CSimBench::CSimBench() : m_pImpl(new Impl)
{
    ::InitializeCriticalSection(&m_pImpl->lock);
}

CSimBench::~CSimBench()
{
    ::DeleteCriticalSection(&m_pImpl->lock);
    delete m_pImpl;
}

namespace {
class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~Lock() { ::LeaveCriticalSection(&m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

} // namespace

// The one bench of the process. Its settings are read when it is first used, not while the
// library loads.
CSimBench CSimBench::s_instance;

BOOL CALLBACK CSimBench::LoadOnce(PINIT_ONCE, PVOID bench, PVOID*)
{
    static_cast<CSimBench*>(bench)->Load(nullptr);
    return TRUE;
}

CSimBench& CSimBench::Instance()
{
    ::InitOnceExecuteOnce(&s_instance.m_pImpl->loaded, &CSimBench::LoadOnce, &s_instance, nullptr);
    return s_instance;
}

void CSimBench::Load(const char* path)
{
    Impl fresh;
    std::string file = path ? path : "";
    if (!path) {
        char buffer[MAX_PATH];
        DWORD length = ::GetEnvironmentVariableA("DAXO_BENCH", buffer, sizeof buffer);
        if (length > 0 && length < sizeof buffer)
            file = buffer;
    }
    if (!file.empty()) {
        char full[MAX_PATH];
        DWORD length = ::GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
        if (length > 0 && length < sizeof full)
            file = full;
    }
    if (file.empty())
        fresh.LoadBuiltIn();
    else
        fresh.LoadIni(file);

    Lock lock(m_pImpl->lock);
    Impl& bench = *m_pImpl;
    bench.units = std::move(fresh.units);
    std::memcpy(bench.userConfig, fresh.userConfig, sizeof bench.userConfig);
    bench.hasUserConfig = fresh.hasUserConfig;
    std::memcpy(bench.defaultBlock, fresh.defaultBlock, sizeof bench.defaultBlock);
    bench.hasDefaultBlock = fresh.hasDefaultBlock;
    bench.reconnectFails = fresh.reconnectFails;
    bench.loadWarning = fresh.loadWarning;
    bench.ForgetEvents();
    bench.lineBaud = 9600;
    bench.lineBits = 8;
    bench.lineParity = 0;
    bench.nextUnit = 0;
    bench.Connect(0);
}

unsigned int CSimBench::Revision() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->revision;
}

std::string CSimBench::LoadWarning() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->loadWarning;
}

int CSimBench::UnitCount() const
{
    Lock lock(m_pImpl->lock);
    return static_cast<int>(m_pImpl->units.size());
}

int CSimBench::GetUnit(int index, SimUnitInfo* info) const
{
    Lock lock(m_pImpl->lock);
    if (!info || index < 0 || index >= static_cast<int>(m_pImpl->units.size()))
        return 0;
    *info = m_pImpl->units[index].info;
    return 1;
}

int CSimBench::ConnectedIndex() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->connected;
}

int CSimBench::ConnectNext()
{
    Lock lock(m_pImpl->lock);
    m_pImpl->Connect(m_pImpl->nextUnit);
    return m_pImpl->connected >= 0 ? 1 : 0;
}

void CSimBench::Unplug()
{
    Lock lock(m_pImpl->lock);
    m_pImpl->connected = -1;
    ++m_pImpl->revision;
}

int CSimBench::SetWriteProtect(int index, int on)
{
    Lock lock(m_pImpl->lock);
    if (index < 0 || index >= static_cast<int>(m_pImpl->units.size()))
        return 0;
    m_pImpl->units[index].info.writeProtect = on ? 1 : 0;
    ++m_pImpl->revision;
    return 1;
}

int CSimBench::CheckEEPROM(int checkFlag, unsigned char* image, int size)
{
    Lock lock(m_pImpl->lock);
    Impl& bench = *m_pImpl;
    if (Unit* unit = bench.Connected()) {
        bool passedOver = checkFlag == 1 && unit->checked && !unit->writtenSinceCheck;
        if (unit->info.done || passedOver)
            bench.Connect(bench.nextUnit);
    }
    Unit* unit = bench.Connected();
    if (!unit) {
        SimEvent event = bench.NewEvent(SimEventRead, 0);
        event.checkFlag = checkFlag;
        bench.Record(event);
        return 0;
    }
    unit->checked = true;
    unit->writtenSinceCheck = false;
    if (image && size > 0) {
        std::memset(image, 0, static_cast<size_t>(size));
        std::memcpy(image, unit->image, static_cast<size_t>(size < kImageSize ? size : kImageSize));
    }
    SimEvent event = bench.NewEvent(SimEventRead, 1);
    event.checkFlag = checkFlag;
    bench.Record(event);
    return 1;
}

int CSimBench::WriteConfig(const unsigned char* record, int length)
{
    Lock lock(m_pImpl->lock);
    Impl& bench = *m_pImpl;
    Unit* unit = bench.Connected();
    int ok = unit && record && length > record::kParityByte && length <= 40 && !unit->info.writeProtect &&
             !unit->info.writeFails;
    if (ok) {
        std::memcpy(unit->image, record, static_cast<size_t>(length));
        unit->info.address = record[record::kAddressByte];
        unit->info.answerDelay = record[record::kAnswerDelayByte];
        unit->info.baud = RateOfCode(record[record::kBaudCodeByte]);
        unit->info.parity = record[record::kParityByte];
        std::memcpy(unit->info.config, unit->image, sizeof unit->info.config);
        unit->info.written = 1;
        unit->info.done = 0;
        unit->info.identRequests = 0;
        unit->writtenSinceCheck = true;
        ++bench.revision;
    }
    SimEvent event = bench.NewEvent(SimEventWrite, ok);
    event.length = length;
    if (record && length > 0)
        std::memcpy(event.data, record, static_cast<size_t>(length < 20 ? length : 20));
    bench.Record(event);
    return ok;
}

int CSimBench::Reconnect(int baud, int bits, int parity)
{
    Lock lock(m_pImpl->lock);
    int ok = m_pImpl->reconnectFails ? 0 : 1;
    if (ok) {
        m_pImpl->lineBaud = baud;
        m_pImpl->lineBits = bits;
        m_pImpl->lineParity = parity;
    }
    SimEvent event = m_pImpl->NewEvent(SimEventReconnect, ok);
    event.baud = baud;
    event.bits = bits;
    event.parity = parity;
    m_pImpl->Record(event);
    return ok;
}

// The request is recorded, and the unit decides, when it is made; the answer reaches the
// caller after the unit's IdentDelay, while others may use the bench.
int CSimBench::IdentRequest(unsigned char address, int flag)
{
    int answer = 0;
    int delay = 0;
    {
        Lock lock(m_pImpl->lock);
        answer = m_pImpl->Identify(address, flag, &delay);
    }
    if (delay > 0)
        ::Sleep(static_cast<DWORD>(delay));
    return answer;
}

int CSimBench::Impl::Identify(unsigned char address, int flag, int* delay)
{
    int answer = 0;
    if (Unit* unit = Connected()) {
        SimUnitInfo& info = unit->info;
        *delay = info.identDelay;
        if (info.identRequests < INT_MAX)   // a silent unit may be polled for ever
            ++info.identRequests;
        answer = info.address == address && info.baud == lineBaud && info.parity == lineParity && lineBits == 8 &&
                 !info.silent && info.answerDelay != 255 && info.identRequests >= info.answersFrom;
        // The bench shows a unit that has answered its new settings as configured.
        bool firstAnswer = answer && (!unit->answered || (info.written && !info.done));
        unit->answered = unit->answered || answer;
        if (answer && info.written)
            info.done = 1;
        if (firstAnswer)
            ++revision;
    }
    SimEvent event = NewEvent(SimEventIdent, answer);
    event.address = address;
    event.requestFlag = flag;
    Record(event);
    return answer;
}

const unsigned char* CSimBench::UserConfig() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->hasUserConfig ? m_pImpl->userConfig : nullptr;
}

const unsigned char* CSimBench::DefaultBlock() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->hasDefaultBlock ? m_pImpl->defaultBlock : nullptr;
}

int CSimBench::EventCount() const
{
    Lock lock(m_pImpl->lock);
    return static_cast<int>(m_pImpl->events.size());
}

int CSimBench::GetEvent(int index, SimEvent* event) const
{
    Lock lock(m_pImpl->lock);
    const std::vector<SimEvent>& events = m_pImpl->events;
    if (!event || index < 0 || index >= static_cast<int>(events.size()))
        return 0;
    *event = events[(m_pImpl->oldestEvent + static_cast<size_t>(index)) % events.size()];
    return 1;
}

unsigned long long CSimBench::TotalEvents() const
{
    Lock lock(m_pImpl->lock);
    return m_pImpl->totalEvents;
}

void CSimBench::ClearEvents()
{
    Lock lock(m_pImpl->lock);
    m_pImpl->ForgetEvents();
}
