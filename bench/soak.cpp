// How the module, its host's stand-ins and the operator driver hold up over a long shift: a
// series of 1,000 units in one process, 200 rounds of giving up the test of a unit that never
// answers (with the Cancel button and with the close box), and a minute of polling such a unit.
// At the start and the end of each phase it prints what the process holds: working set,
// handles, windows and threads, and the CPU share of the phase. It measures; it judges nothing.
#include "HostContract.h"
#include "ModuleLoader.h"
#include "ProcessMeasures.h"
#include "OperatorDriver.h"
#include "SimBench.h"
#include "ResultSink.h"
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using opdriver::OperatorDriver;
using opdriver::Window;

const int kSeriesUnits = 1000;
const int kCancelRounds = 200;
const DWORD kPollingMs = 60000;
const DWORD kDriverAloneMs = 10000;

const char kStoredConfig[] = "01 00 09 00 58 02 73 61 76 65 01 00 01 01 01 01 FF FF FF FF 00";

struct Sample {
    size_t workingSetKb = 0;
    DWORD handles = 0;
    int windows = 0;
    int threads = 0;
    ULONGLONG cpu100ns = 0;   // user and kernel time of the process
    ULONGLONG wallMs = 0;
    int benchEvents = 0;
};

int ThreadCount()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    ::CloseHandle(snapshot);
    return count;
}

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

Sample Take()
{
    Sample sample;
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory))
        sample.workingSetKb = memory.WorkingSetSize / 1024;
    // Counted as the leak checks of the tests count them, in measures Wine answers.
    const daxotest::ProcessMeasures measures = daxotest::ProcessMeasures::Now();
    sample.handles = measures.handles;
    sample.windows = measures.windows;
    sample.threads = ThreadCount();
    FILETIME created, ended, kernel, user;
    if (::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user))
        sample.cpu100ns = Ticks(kernel) + Ticks(user);
    sample.wallMs = ::GetTickCount64();
    sample.benchEvents = CSimBench::Instance().EventCount();
    return sample;
}

void PrintHeading()
{
    std::printf("%-34s %-5s %12s %8s %8s %8s %13s\n", "phase", "", "working set", "handles", "windows", "threads",
                "bench events");
}

void PrintSample(const char* phase, const char* when, const Sample& sample)
{
    std::printf("%-34s %-5s %9zu KB %8lu %8d %8d %13d\n", phase, when, sample.workingSetKb,
                static_cast<unsigned long>(sample.handles), sample.windows, sample.threads, sample.benchEvents);
    std::fflush(stdout);
}

void PrintShare(const char* phase, const Sample& start, const Sample& end)
{
    const double wallMs = static_cast<double>(end.wallMs - start.wallMs);
    const double cpuMs = static_cast<double>(end.cpu100ns - start.cpu100ns) / 10000.0;
    std::printf("%-34s %.1f s, CPU %.1f s: %.1f%% of a core\n", phase, wallMs / 1000.0, cpuMs / 1000.0,
                wallMs > 0 ? 100.0 * cpuMs / wallMs : 0.0);
    std::fflush(stdout);
}

std::string BenchFile(const char* name, int units, bool silent)
{
    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << "[Host]\r\nUserConfig=" << kStoredConfig << "\r\n[Bench]\r\nUnits=" << units << "\r\n";
    for (int unit = 1; unit <= units; ++unit) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "%08d", 10000 + unit);
        file << "[Unit" << unit << "]\r\nTypeCode=VX1205.10\r\nSerial=" << serial << "\r\n"
             << (silent ? "Silent=1\r\n" : "");
    }
    return path;
}

struct Reports {
    int summaries = 0;
    int failures = 0;
};

void CountReport(void* context, void*, const char*, const char*, int, unsigned char code, unsigned short)
{
    Reports* reports = static_cast<Reports*>(context);
    reports->summaries += code == result::kSummary ? 1 : 0;
    reports->failures += code == result::kFailure ? 1 : 0;
}

// The operator of a series: each unit is written with the series box on and confirmed in the
// next-unit dialog; the warning that the address goes back to 1 is acknowledged; the last unit
// ends the series with Cancel.
class SeriesOperator {
public:
    SeriesOperator(OperatorDriver& driver, int units) : m_driver(driver), m_units(units) {}
    void Start() { ExpectConfiguration(); }
    int Configured() const { return m_configured; }

private:
    void ExpectConfiguration()
    {
        m_driver.When(
            [](const Window& window) { return window.IsMessageBox() || window.HasControl(IDC_WRITE); },
            [this](Window& window) {
                if (window.IsMessageBox()) {
                    window.Answer(IDOK);
                    ExpectConfiguration();
                    return;
                }
                window.Check(IDC_SERIES, true);
                ExpectNextUnit();
                window.Click(IDC_WRITE);
            },
            "configure unit " + std::to_string(m_configured + 1));
    }

    void ExpectNextUnit()
    {
        m_driver.OnDialog(IDC_CONFIRM_PROMPT, [this](Window& window) {
            ++m_configured;
            if (m_configured < m_units) {
                ExpectConfiguration();
                window.Click(IDOK);
            } else {
                window.Click(IDCANCEL);
            }
        });
    }

    OperatorDriver& m_driver;
    int m_units;
    int m_configured = 0;
};

// Writes the configuration to a unit that never answers, gives the test up and leaves the
// configuration: with the buttons, or with the close boxes.
void CancelRound(CTestObject test, HWND owner, bool closeBoxes)
{
    OperatorDriver driver;
    driver.OnDialog(IDC_WRITE, [](Window& window) { window.Click(IDC_WRITE); })
        .OnDialog(IDC_TEST_INFO, [closeBoxes](Window& window) { closeBoxes ? window.Close() : window.Click(IDCANCEL); })
        .OnDialog(IDC_WRITE, [closeBoxes](Window& window) { closeBoxes ? window.Close() : window.Click(IDCANCEL); });
    test.ConfigureThermometer(owner, 0, 0);
    if (!driver.Succeeded())
        std::printf("  round given up: %s\n", driver.Report().c_str());
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    daxohost::CModuleLoader module;
    if (module.Load() != daxohost::ModuleStatus::Loaded) {
        std::fprintf(stderr, "soak: %s\n", module.Message().c_str());
        return 1;
    }
    const CTestObject test = *module.Test();
    Reports reports;
    PrubelSetTestResultSink(&CountReport, &reports);
    HWND owner = ::CreateWindowExA(0, "STATIC", "soak", WS_OVERLAPPEDWINDOW, 40, 40, 800, 600, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    CSimBench& bench = CSimBench::Instance();
    PrintHeading();

    const char series[] = "series of 1000 units";
    bench.Load(BenchFile("soak-series.ini", kSeriesUnits, false).c_str());
    Sample start = Take();
    PrintSample(series, "start", start);
    {
        OperatorDriver driver(30000);
        SeriesOperator operatorAtTheBench(driver, kSeriesUnits);
        operatorAtTheBench.Start();
        const int result = test.ConfigureThermometer(owner, 0, 0);
        std::printf("  ConfigureThermometer returned %d after %d units, %d summaries reported%s\n", result,
                    operatorAtTheBench.Configured(), reports.summaries,
                    driver.Succeeded() ? "" : (" - given up: " + driver.Report()).c_str());
    }
    Sample end = Take();
    PrintSample(series, "end", end);
    PrintShare(series, start, end);

    const char rounds[] = "200 cancel and close-box rounds";
    bench.Load(BenchFile("soak-silent.ini", 1, true).c_str());
    reports.failures = 0;
    start = Take();
    PrintSample(rounds, "start", start);
    for (int round = 0; round < kCancelRounds; ++round)
        CancelRound(test, owner, round % 2 == 1);
    end = Take();
    PrintSample(rounds, "end", end);
    PrintShare(rounds, start, end);
    std::printf("  %d failures and breaks reported\n", reports.failures);

    const char polling[] = "60 s polling a silent unit";
    bench.Load(BenchFile("soak-silent.ini", 1, true).c_str());
    {
        OperatorDriver driver(kPollingMs * 2);
        driver.OnDialog(IDC_WRITE, [](Window& window) { window.Click(IDC_WRITE); })
            .OnDialog(IDC_TEST_INFO, [&](Window& window) {
                start = Take();
                PrintSample(polling, "start", start);
                opdriver::PumpMessagesFor(kPollingMs);
                end = Take();
                PrintSample(polling, "end", end);
                window.Click(IDCANCEL);
            })
            .OnDialog(IDC_WRITE, [](Window& window) { window.Click(IDCANCEL); });
        test.ConfigureThermometer(owner, 0, 0);
        if (!driver.Succeeded())
            std::printf("  polling given up: %s\n", driver.Report().c_str());
    }
    PrintShare(polling, start, end);

    // What the operator driver's own 10 ms tick costs while a window waits: part of the above.
    const char idle[] = "10 s of the driver alone";
    {
        OperatorDriver driver;
        driver.OnMessageBox([&](Window& box) {
            start = Take();
            opdriver::PumpMessagesFor(kDriverAloneMs);
            end = Take();
            box.Answer(IDOK);
        });
        ::MessageBoxA(owner, "The driver waits.", "soak", MB_OK);
    }
    PrintShare(idle, start, end);

    PrubelSetTestResultSink(nullptr, nullptr);
    ::DestroyWindow(owner);
    return 0;
}
