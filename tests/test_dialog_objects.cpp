// The three dialog objects as the procedure holds them: their runners, their windows opened
// from the templates and closed again, the record accessors, the series address step and what
// each object releases.
#include "DlgConfig.h"
#include "DlgConfirm.h"
#include "DlgTestConfig.h"
#include "ModuleDialogs.h"
#include "ProcessMeasures.h"
#include "SimBench.h"
#include "TestDAXO01.h"
#include "resource.h"
#include <gtest/gtest.h>

using daxotest::BenchFile;
using daxotest::ModuleResources;
using daxotest::OwnerWindow;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

const char kUserConfig[] = "0100090158027361766500001111111111111111AB";  // address 1, 9600, odd

class DialogObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(ModuleResources(), nullptr);
        BenchFile().Host("UserConfig", kUserConfig).Host("DefaultBlock", "0000000000000000700000000000000105")
            .Unit({"Serial=00000712", "TypeCode=VX1205.10"})
            .Load();
        ASSERT_EQ(test.CheckEEPROM(nullptr, 0, 0), 1);
    }

    // Shows the configuration dialog once: types `address` and writes it to the bench's unit.
    INT_PTR WriteAddress(CConfigDialog& dialog, const char* address)
    {
        OperatorDriver driver;
        driver.OnDialog(IDC_WRITE, [address](Window& w) {
            w.SetText(IDC_ADDRESS, address);
            w.Click(IDC_WRITE);
        });
        INT_PTR result = dialog.Show(-1);
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
        return result;
    }

    CTestDAXO01 test{nullptr};
    OwnerWindow owner;
};

TEST_F(DialogObjects, RunnersReportAMissingInstanceAndAMissingTemplate)
{
    daxotest::DebugCapture debug;
    CConfigDialog config(owner.Handle(), nullptr);
    CTestConfigDialog tester(owner.Handle(), nullptr);
    CConfirmDialog confirm(owner.Handle(), nullptr);
    EXPECT_EQ(config.Show(-1), -2);
    EXPECT_EQ(tester.Show(-1), -2);
    EXPECT_EQ(confirm.Show(-1), -2);
    EXPECT_TRUE(debug.Contains("HINSTANCE je NULL\n"));
    EXPECT_TRUE(debug.Contains("DlgConfig("));
    EXPECT_TRUE(debug.Contains("DlgTestConfig("));
    EXPECT_TRUE(debug.Contains("DlgConfirm("));

    // The test program has no templates of its own.
    daxotest::DebugCapture noTemplate;
    CTestConfigDialog withoutTemplate(owner.Handle(), ::GetModuleHandleA(nullptr));
    EXPECT_EQ(withoutTemplate.Show(-1), -1);
    EXPECT_TRUE(noTemplate.Contains("Nepodarilo se vytvorit dialogove okno\n"));
    EXPECT_TRUE(noTemplate.Contains("DlgTestConfig("));
    EXPECT_EQ(withoutTemplate.GetThreadHandle(), nullptr) << "no worker without a window";
}

TEST_F(DialogObjects, EachDialogOpensFromItsTemplateWithItsCaptionAndCloses)
{
    CConfigDialog config(owner.Handle(), ModuleResources());
    config.SetTest(&test);
    CConfirmDialog confirm(owner.Handle(), ModuleResources());
    confirm.SetTest(&test);
    CTestConfigDialog tester(owner.Handle(), ModuleResources());
    CTestConfigDialog::SetTestParameters(&test, 99, 9600, 0);  // nobody answers at 99

    std::vector<std::string> captions;
    OperatorDriver driver;
    driver.OnDialog(IDC_WRITE, [&](Window& w) { captions.push_back(w.Caption()); w.Click(IDCANCEL); });
    driver.OnDialog(IDC_TEST_INFO, [&](Window& w) { captions.push_back(w.Caption()); w.Click(IDCANCEL); });
    driver.OnDialog(IDOK, [&](Window& w) { captions.push_back(w.Caption()); w.Click(IDCANCEL); });
    driver.OnDialog(IDOK, [&](Window& w) { w.Click(IDOK); });
    EXPECT_EQ(config.Show(-1), -1);
    EXPECT_EQ(tester.Show(-1), 2);
    EXPECT_EQ(confirm.Show(-1), 2);
    EXPECT_EQ(confirm.Show(-1), 1);
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    EXPECT_EQ(captions, (std::vector<std::string>{"DAXO configuration", "DAXO configuration test",
                                                  "Configuration of next unit ..."}));
    EXPECT_EQ(config.GetSafeHwnd(), nullptr);
    EXPECT_EQ(confirm.GetSafeHwnd(), nullptr);
}

TEST_F(DialogObjects, RecordsStartZeroedSoAnUntouchedRateReadsAs38400)
{
    BenchFile().Host("UserConfig", "00000300000000000000000000000000000000000000").Unit({"Serial=1"}).Load();
    CConfigDialog config(owner.Handle(), ModuleResources());
    EXPECT_EQ(config.GetAddress(), 0);
    EXPECT_EQ(config.GetParity(), 0);
    EXPECT_EQ(config.GetBaudRate(), 38400) << "code 0";
    EXPECT_EQ(config.IsSeries(), 0);
    config.SetTest(&test);
    OperatorDriver driver;
    driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
    EXPECT_EQ(config.Show(-1), -1);
    EXPECT_EQ(config.WorkingConfig().baudCode, 3) << "loaded, but no default block to fall back on";
    EXPECT_EQ(config.GetBaudRate(), 38400) << "code 3";
    EXPECT_EQ(config.ResultConfig().address, 0) << "a cancelled dialog accepts nothing";
}

TEST_F(DialogObjects, AdvanceAddressWrapsAfter125WithAWarningOwnedByTheParent)
{
    CConfigDialog config(owner.Handle(), ModuleResources());
    config.SetTest(&test);
    ASSERT_EQ(WriteAddress(config, "124"), 1);
    EXPECT_EQ(config.ResultConfig().address, 124);
    EXPECT_EQ(config.GetBaudRate(), 9600);
    EXPECT_EQ(config.GetParity(), 1);

    std::vector<daxotest::SeenBox> boxes;
    {
        OperatorDriver driver(2000);
        driver.SetOpenedCallback([&](const Window& w) {
            boxes.push_back({w.Caption(), w.MessageText(), w.MessageStyle(), daxotest::OwnerOf(w.Handle())});
            const_cast<Window&>(w).Answer(IDOK);
        });
        config.AdvanceAddress();
    }
    EXPECT_TRUE(boxes.empty()) << "124 becomes 125 without a word";
    EXPECT_EQ(config.ResultConfig().address, 125);

    OperatorDriver driver;
    daxotest::AnswerMessageBox(driver, boxes, IDOK);
    config.AdvanceAddress();
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "DAXO-01");
    EXPECT_EQ(boxes[0].text, "Module address can not be greater than 125!\nNext unit will have initialize address as 1.");
    EXPECT_EQ(boxes[0].style, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes[0].owner, owner.Handle()) << "the closed dialog's handle is never used";
    EXPECT_EQ(config.ResultConfig().address, 1);
}

TEST_F(DialogObjects, BitmapIsHeldBetweenShowingsAndReleasedOnce)
{
    {
        CConfigDialog never(owner.Handle(), ModuleResources());
        EXPECT_EQ(never.GetBitmap(), nullptr);
    }
    CConfigDialog config(owner.Handle(), ModuleResources());
    config.SetTest(&test);
    OperatorDriver driver;
    driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
    driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
    config.Show(-1);
    HBITMAP first = config.GetBitmap();
    ASSERT_NE(first, nullptr);
    BITMAP info{};
    ASSERT_NE(::GetObjectA(first, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 310);
    EXPECT_EQ(info.bmHeight, 280);
    config.Show(-1);
    EXPECT_NE(config.GetBitmap(), nullptr);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the previous showing's bitmap is released";
    EXPECT_TRUE(driver.Succeeded()) << driver.Report();
}

TEST_F(DialogObjects, TestDialogClosesItsWorkerHandle)
{
    HANDLE worker = nullptr;
    {
        CTestConfigDialog tester(owner.Handle(), ModuleResources());
        CTestConfigDialog::SetTestParameters(&test, 99, 9600, 0);
        OperatorDriver driver;
        driver.OnDialog(IDC_TEST_INFO, [](Window& w) { w.Click(IDCANCEL); });
        EXPECT_EQ(tester.Show(-1), 2);
        worker = tester.GetThreadHandle();
        ASSERT_NE(worker, nullptr);
        DWORD flags = 0;
        EXPECT_TRUE(::GetHandleInformation(worker, &flags));
        EXPECT_EQ(::WaitForSingleObject(worker, 0), WAIT_OBJECT_0) << "the worker has finished when Show returns";
    }
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(worker, &flags)) << "the destructor closed the handle";
}

TEST_F(DialogObjects, HundredShowingsLeakNoGdiObjectsOrHandles)
{
    CConfigDialog config(owner.Handle(), ModuleResources());
    config.SetTest(&test);
    CConfirmDialog confirm(owner.Handle(), ModuleResources());
    confirm.SetTest(&test);
    CTestConfigDialog tester(owner.Handle(), ModuleResources());
    CTestConfigDialog::SetTestParameters(&test, 99, 9600, 0);
    auto showAll = [&] {
        OperatorDriver driver;
        driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
        driver.OnDialog(IDOK, [](Window& w) { w.Click(IDOK); });
        driver.OnDialog(IDC_TEST_INFO, [](Window& w) { w.Click(IDCANCEL); });
        config.Show(-1);
        confirm.Show(-1);
        tester.Show(-1);
        return driver.Succeeded();
    };
    ASSERT_TRUE(showAll());
    daxotest::ProcessMeasures before = daxotest::ProcessMeasures::Now();
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(showAll()) << "showing " << i;
    daxotest::ExpectNoLeak(before, daxotest::ProcessMeasures::Now(), 4);
}

} // namespace
