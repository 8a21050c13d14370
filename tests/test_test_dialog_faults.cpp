// The test of the new settings when the bench misbehaves: an identification that takes its
// time while the operator gives up, and a line that cannot be reopened.
#include "DlgTestConfig.h"
#include "ModuleDialogs.h"
#include "SimBench.h"
#include "TestDAXO01.h"
#include "resource.h"
#include <gtest/gtest.h>

using daxotest::BenchFile;
using daxotest::ModuleResources;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

struct TestRun {
    INT_PTR result;
    std::vector<SimEvent> reconnects, idents;
};

// Tests the unit at address 3, 9600 Bd, no parity, on `bench`, with `operatorActions` (none:
// nobody touches the dialog).
TestRun TestUnitOn(const BenchFile& bench, std::function<void(Window&)> operatorActions)
{
    CTestDAXO01 test(nullptr);
    daxotest::OwnerWindow owner;
    CTestConfigDialog dialog(owner.Handle(), ModuleResources());
    bench.Load();
    EXPECT_EQ(test.CheckEEPROM(nullptr, 0, 0), 1);
    CSimBench::Instance().ClearEvents();
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    OperatorDriver driver;
    if (operatorActions)
        driver.OnDialog(IDC_TEST_INFO, std::move(operatorActions), "operator");
    TestRun run{dialog.Show(-1), {}, {}};
    EXPECT_TRUE(driver.Succeeded() && ::WaitForSingleObject(dialog.GetThreadHandle(), 0) == WAIT_OBJECT_0)
        << "the worker must be gone; " << driver.Report();
    run.reconnects = daxotest::BenchEvents(SimEventReconnect);
    run.idents = daxotest::BenchEvents(SimEventIdent);
    return run;
}

// The operator gave up before the answer arrived: the test counts as failed all the same.
TEST(TestDialogFaults, CancelWhileTheAnsweringIdentificationRunsEndsWithTwo)
{
    TestRun run = TestUnitOn(BenchFile().Unit({"Serial=1", "Address=3", "IdentDelay=1500"}), [](Window& w) {
        // The bench records the request as it is made, and answers 1.5 s later.
        for (int wait = 0; wait < 5000 && daxotest::BenchEvents(SimEventIdent).empty(); ++wait)
            ::Sleep(1);
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(run.result, 2);
    ASSERT_EQ(run.idents.size(), 1u) << "no poll after the cancel";
    EXPECT_EQ(run.idents[0].result, 1) << "the request under way brought the answer";
}

TEST(TestDialogFaults, FailedReconnectDoesNotStopThePolling)
{
    TestRun run = TestUnitOn(BenchFile().Bench("ReconnectFails", "1").Unit({"Serial=1", "Address=3", "AnswersFrom=4"}),
                             nullptr);
    EXPECT_EQ(run.result, 1);
    ASSERT_EQ(run.reconnects.size(), 1u);
    EXPECT_EQ(run.reconnects[0].result, 0);
    ASSERT_EQ(run.idents.size(), 4u);
    EXPECT_EQ(run.idents.back().result, 1);
}

} // namespace
