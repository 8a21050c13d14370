// The test of the new settings when the bench misbehaves: an identification that takes its
// time while the operator gives up, and a line that cannot be reopened.
#include "DlgTestConfig.h"
#include "ModuleDialogs.h"
#include "SimBench.h"
#include "resource.h"
#include <gtest/gtest.h>

using daxotest::BenchFile;
using daxotest::ModuleResources;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

class TestDialogFaults : public ::testing::Test {
protected:
    void Load(const BenchFile& bench)
    {
        bench.Load();
        ASSERT_EQ(test.CheckEEPROM(nullptr, 0, 0), 1);
        CSimBench::Instance().ClearEvents();
    }

    INT_PTR Show(std::function<void(Window&)> operatorActions = nullptr)
    {
        OperatorDriver driver;
        if (operatorActions)
            driver.OnDialog(IDC_TEST_INFO, std::move(operatorActions), "operator");
        INT_PTR result = dialog.Show(-1);
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
        EXPECT_EQ(::WaitForSingleObject(dialog.GetThreadHandle(), 0), WAIT_OBJECT_0) << "worker still running";
        return result;
    }

    CTestDAXO01 test{nullptr};
    daxotest::OwnerWindow owner;
    CTestConfigDialog dialog{owner.Handle(), ModuleResources()};
};

// The operator gave up before the answer arrived: the test counts as failed all the same.
TEST_F(TestDialogFaults, CancelWhileTheAnsweringIdentificationRunsEndsWithTwo)
{
    Load(BenchFile().Unit({"Serial=1", "Address=3", "IdentDelay=1500"}));
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    EXPECT_EQ(Show([](Window& w) {
                  // The bench records the request as it is made, and answers 1.5 s later.
                  for (int wait = 0; wait < 5000 && daxotest::BenchEvents(SimEventIdent).empty(); ++wait)
                      ::Sleep(1);
                  w.Click(IDCANCEL);
              }),
              2);
    std::vector<SimEvent> idents = daxotest::BenchEvents(SimEventIdent);
    ASSERT_EQ(idents.size(), 1u) << "no poll after the cancel";
    EXPECT_EQ(idents[0].result, 1) << "the request under way brought the answer";
}

TEST_F(TestDialogFaults, FailedReconnectDoesNotStopThePolling)
{
    Load(BenchFile().Bench("ReconnectFails", "1").Unit({"Serial=1", "Address=3", "AnswersFrom=4"}));
    CTestConfigDialog::SetTestParameters(&test, 3, 9600, 0);
    EXPECT_EQ(Show(), 1);
    std::vector<SimEvent> reconnects = daxotest::BenchEvents(SimEventReconnect);
    ASSERT_EQ(reconnects.size(), 1u);
    EXPECT_EQ(reconnects[0].result, 0);
    std::vector<SimEvent> idents = daxotest::BenchEvents(SimEventIdent);
    ASSERT_EQ(idents.size(), 4u);
    EXPECT_EQ(idents.back().result, 1);
}

} // namespace
