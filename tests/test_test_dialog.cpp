// The test of the new settings with its worker thread, and the next-unit dialog: how polling
// runs against the bench, how every way of stopping ends the dialog and its worker, and the
// colours the dialogs give their coloured lines.
#include "DlgConfirm.h"
#include "DlgTestConfig.h"
#include "ModuleDialogs.h"
#include "SimBench.h"
#include "TestDAXO01.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <cstring>
#include <stdexcept>

using daxotest::BenchFile;
using daxotest::ModuleResources;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

class TestDialog : public ::testing::Test {
protected:
    void Bench(std::vector<std::string> unit)
    {
        unit.push_back("Serial=00000712");
        BenchFile().Unit(unit).Load();
        ASSERT_EQ(test.CheckEEPROM(nullptr, 0, 0), 1);
        CSimBench::Instance().ClearEvents();
    }

    // Shows the test dialog with `operatorActions` (none: nobody touches the dialog).
    INT_PTR Show(std::function<void(Window&)> operatorActions = nullptr)
    {
        OperatorDriver driver;
        // Once the operator has stopped it, the test ends within a poll.
        if (operatorActions)
            driver.OnDialog(IDC_TEST_INFO, std::move(operatorActions), "operator").ExpectNothingElse(5000);
        INT_PTR result = dialog.Show(-1);
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
        EXPECT_EQ(::WaitForSingleObject(dialog.GetThreadHandle(), 0), WAIT_OBJECT_0) << "worker still running";
        return result;
    }

    std::vector<int> IdentFlags() const
    {
        std::vector<int> flags;
        for (const SimEvent& event : daxotest::BenchEvents(SimEventIdent))
            flags.push_back(event.requestFlag);
        return flags;
    }

    CTestDAXO01 test{nullptr};
    daxotest::OwnerWindow owner;
    CTestConfigDialog dialog{owner.Handle(), ModuleResources()};
};

TEST_F(TestDialog, UnitAnsweringTheFirstPollEndsTheTestWithOne)
{
    Bench({"Address=5", "Baud=19200", "Parity=2"});
    CTestConfigDialog::SetTestParameters(&test, 5, 19200, 2);
    EXPECT_EQ(Show(), 1);
    EXPECT_EQ(IdentFlags(), std::vector<int>{1});
    std::vector<SimEvent> reconnects = daxotest::BenchEvents(SimEventReconnect);
    ASSERT_EQ(reconnects.size(), 1u);
    EXPECT_EQ(reconnects[0].baud, 19200);
    EXPECT_EQ(reconnects[0].bits, 8);
    EXPECT_EQ(reconnects[0].parity, 2);
    EXPECT_EQ(daxotest::BenchEvents(SimEventIdent)[0].address, 5);
}

TEST_F(TestDialog, RequestFlagIsSetOnEverySeventhPoll)
{
    Bench({"Address=9", "AnswersFrom=9"});
    CTestConfigDialog::SetTestParameters(&test, 9, 9600, 0);
    EXPECT_EQ(Show(), 1);
    EXPECT_EQ(IdentFlags(), (std::vector<int>{1, 0, 0, 0, 0, 0, 1, 0, 0}));
}

TEST_F(TestDialog, OperatorStopsASilentUnitAndTheButtonGreysAtOnce)
{
    Bench({"Address=3", "Silent=1"});
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    bool enabledAfterStop = true;
    std::string caption, info, button, heading;
    EXPECT_EQ(Show([&](Window& w) {
                  caption = w.Caption();
                  info = w.Text(IDC_TEST_INFO);
                  button = w.Text(IDCANCEL);
                  heading = w.Text(IDC_TEST_HEADING);
                  // A loaded machine may not have let the worker poll yet.
                  for (int wait = 0; wait < 5000 && daxotest::BenchEvents(SimEventIdent).size() < 8; ++wait)
                      ::Sleep(1);
                  w.Click(IDCANCEL);
                  enabledAfterStop = w.IsEnabled(IDCANCEL);
              }),
              2);
    EXPECT_FALSE(enabledAfterStop);
    EXPECT_EQ(caption, "DAXO configuration test");
    EXPECT_EQ(info, "Test is proceeding now. Dialog will close by succesfully test.\n\nTest remains no longer than 10s.");
    EXPECT_EQ(button, "Back to module configuration");
    EXPECT_EQ(heading, "Test of new DAXO configuration");
    EXPECT_EQ(daxotest::BenchEvents(SimEventReconnect).size(), 1u);
    std::vector<int> flags = IdentFlags();
    ASSERT_FALSE(flags.empty());
    for (size_t i = 0; i < flags.size(); ++i)
        EXPECT_EQ(flags[i], i % 6 == 0 ? 1 : 0) << "poll " << i + 1;
}

TEST_F(TestDialog, CloseBoxAndEscapeStopTheTestLikeTheButton)
{
    Bench({"Address=3", "Silent=1"});
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    EXPECT_EQ(Show([](Window& w) { w.Close(); }), 2);
    EXPECT_EQ(Show([](Window& w) { w.Escape(); }), 2);
    EXPECT_EQ(ReadTestFlag(testRunning), 0);
}

TEST_F(TestDialog, WrongRateOrParityOnTheLineGetsNoAnswer)
{
    Bench({"Address=3", "Baud=9600", "Parity=0"});
    CTestConfigDialog::SetTestParameters(&test, 3, 19200, 0);
    EXPECT_EQ(Show([](Window& w) { w.Click(IDCANCEL); }), 2);
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 1);
    EXPECT_EQ(Show([](Window& w) { w.Click(IDCANCEL); }), 2);
    for (const SimEvent& event : daxotest::BenchEvents(SimEventIdent))
        EXPECT_EQ(event.result, 0);
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    EXPECT_EQ(Show(), 1);
}

TEST_F(TestDialog, SecondShowingStartsAFreshWorker)
{
    Bench({"Address=3", "Silent=1"});
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    EXPECT_EQ(Show([](Window& w) { w.Click(IDCANCEL); }), 2);
    HANDLE first = dialog.GetThreadHandle();
    EXPECT_EQ(ReadTestFlag(testRunning), 0);
    int runningDuringSecond = -1;
    EXPECT_EQ(Show([&](Window& w) {
                  runningDuringSecond = ReadTestFlag(testRunning);
                  w.Click(IDCANCEL);
              }),
              2);
    EXPECT_EQ(runningDuringSecond, 1);
    EXPECT_NE(dialog.GetThreadHandle(), nullptr);
    if (dialog.GetThreadHandle() != first) {
        DWORD flags = 0;
        EXPECT_FALSE(::GetHandleInformation(first, &flags)) << "the first worker's handle was closed";
    }
    EXPECT_EQ(daxotest::BenchEvents(SimEventReconnect).size(), 2u) << "one reconnect per showing";
}

TEST_F(TestDialog, WithoutATestObjectNothingReachesTheHost)
{
    Bench({"Address=3"});
    CTestConfigDialog::SetTestParameters(nullptr, 3, 9600, 0);
    EXPECT_EQ(Show([](Window& w) { w.Click(IDCANCEL); }), 2);
    EXPECT_EQ(CSimBench::Instance().EventCount(), 0);
}

TEST_F(TestDialog, StoppingWhilePollingNeverLeavesAWorkerBehind)
{
    Bench({"Address=3", "Silent=1"});
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    for (int round = 0; round < 40; ++round) {
        int result = static_cast<int>(Show([round](Window& w) {
            if (round % 3 == 0)
                w.Close();
            else
                w.Click(IDCANCEL);
        }));
        ASSERT_EQ(result, 2) << "round " << round;
    }
    // A unit that answers just as the operator stops: either ending is a finished test.
    Bench({"Address=3", "AnswersFrom=3"});
    for (int round = 0; round < 20; ++round) {
        CSimBench::Instance().Load(BenchFile().Unit({"Serial=1", "Address=3", "AnswersFrom=3"}).Write().c_str());
        test.CheckEEPROM(nullptr, 0, 0);
        OperatorDriver driver;  // may come too late: the unit can answer before the operator acts
        driver.OnDialog(IDC_TEST_INFO, [](Window& w) { w.Click(IDCANCEL); });
        int result = static_cast<int>(dialog.Show(-1));
        EXPECT_TRUE(result == 1 || result == 2) << result;
        EXPECT_EQ(::WaitForSingleObject(dialog.GetThreadHandle(), 0), WAIT_OBJECT_0);
    }
}

// Stands in for the host's tester in the worker's test, and throws where it is told to.
struct FailingLine {
    int Reconnect(int, int, int)
    {
        if (reconnectThrows)
            throw std::runtime_error("line gone");
        return 1;
    }
    int IdentTest(unsigned char, int)
    {
        if (++polls == throwAtPoll)
            throw 7;
        return 0;
    }
    bool reconnectThrows = false;
    int throwAtPoll = 0;
    int polls = 0;
};

TEST(TestWorker, AnExceptionOfTheHostEndsTheTestAsFailedWithADiagnostic)
{
    daxotest::DebugCapture debug;
    volatile LONG running = 1;
    TestParameters parameters;
    FailingLine reconnectFails;
    reconnectFails.reconnectThrows = true;
    EXPECT_EQ(TestNewSettings(&reconnectFails, parameters, running), 2);
    EXPECT_TRUE(debug.Contains("exception: out of memory or a fault of the module or the host"));
    FailingLine identFails;
    identFails.throwAtPoll = 3;
    EXPECT_EQ(TestNewSettings(&identFails, parameters, running), 2);
    EXPECT_EQ(identFails.polls, 3);
    ASSERT_EQ(debug.Lines().size(), 2u);
    EXPECT_EQ(debug.Lines()[1].rfind("DlgTestConfig(", 0), 0u) << debug.Lines()[1];
}

TEST(ColouredLines, EachDialogGivesItsColourOnlyForItsOwnLine)
{
    CTestConfigDialog tester(nullptr, nullptr);
    CConfirmDialog confirm(nullptr, nullptr);
    EXPECT_EQ(tester.OnMyColoredTextGetTextParam(IDC_TEST_HEADING, nullptr), 0);
    EXPECT_EQ(confirm.OnMyColoredTextGetTextParam(IDC_CONFIRM_PROMPT, nullptr), 0);
    unsigned char bytes[sizeof(_MY_COLORED_TEXT_STRUCT)];
    auto* param = reinterpret_cast<_MY_COLORED_TEXT_STRUCT*>(bytes);

    std::memset(bytes, 0xEE, sizeof bytes);
    EXPECT_EQ(tester.OnMyColoredTextGetTextParam(IDC_TEST_HEADING, param), 1);
    const unsigned char green[8] = {0x40, 0xC0, 0x40, 1, 0, 0, 0, 0xEE};
    EXPECT_EQ(std::memcmp(bytes, green, sizeof green), 0);

    std::memset(bytes, 0xEE, sizeof bytes);
    EXPECT_EQ(confirm.OnMyColoredTextGetTextParam(IDC_CONFIRM_PROMPT, param), 1);
    const unsigned char blue[8] = {0x00, 0x00, 0xFF, 1, 0, 0, 0, 0xEE};
    EXPECT_EQ(std::memcmp(bytes, blue, sizeof blue), 0);

    std::memset(bytes, 0xEE, sizeof bytes);
    EXPECT_EQ(tester.OnMyColoredTextGetTextParam(IDC_CONFIRM_PROMPT, param), 1);
    EXPECT_EQ(confirm.OnMyColoredTextGetTextParam(IDC_TEST_HEADING, param), 1);
    for (unsigned char byte : bytes)
        EXPECT_EQ(byte, 0xEE) << "another line's description is left alone";
}

class ConfirmDialog : public ::testing::Test {
protected:
    INT_PTR Show(std::function<void(Window&)> actions)
    {
        OperatorDriver driver;
        driver.OnDialog(IDOK, std::move(actions), "operator").ExpectNothingElse();
        INT_PTR result = dialog.Show(-1);
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
        return result;
    }
    CTestDAXO01 test{nullptr};
    daxotest::OwnerWindow owner;
    CConfirmDialog dialog{owner.Handle(), ModuleResources()};
};

TEST_F(ConfirmDialog, OkCancelAndOtherCommands)
{
    dialog.SetTest(&test);
    EXPECT_EQ(Show([](Window& w) {
                  EXPECT_EQ(w.Caption(), "Configuration of next unit ...");
                  EXPECT_EQ(w.Text(IDOK), "OK");
                  EXPECT_EQ(w.Text(IDCANCEL), "Cancel");
                  EXPECT_EQ(w.Text(IDC_CONFIRM_PROMPT), "Connect next unit for configration");
                  w.Click(IDOK);
              }),
              1);
    EXPECT_EQ(Show([](Window& w) { w.Click(IDCANCEL); }), 2);
    EXPECT_EQ(Show([](Window& w) { w.Close(); }), 2);
    EXPECT_EQ(Show([](Window& w) {
                  ::SendMessageA(w.Handle(), WM_COMMAND, MAKEWPARAM(1234, BN_CLICKED), 0);
                  ::SendMessageA(w.Handle(), WM_COMMAND, IDC_CONFIRM_PROMPT, 0);
                  EXPECT_TRUE(::IsWindowVisible(w.Handle())) << "other commands leave it open";
                  w.Click(IDOK);
              }),
              1);
}

} // namespace
