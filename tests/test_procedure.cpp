// The configuration procedure end to end: the real module loaded as the host loads it, its
// real dialogs played by the operator driver, units on the simulated bench, and the reports
// that reach the host, for every way a pass can end.
#include "UnitContract.h"
#include "ModuleDialogs.h"
#include "SimBench.h"
#include "TestObjectRows.h"
#include "TesterHooks.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <algorithm>

using daxotest::BenchFile;
using daxotest::SeenBox;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

using namespace result;   // the codes of the reports

typedef std::vector<std::pair<int, std::string>> Reports;

const char kUserConfig[] = "01000900580200000000000001010101FFFFFFFF00";  // address 1, 9600, no parity
const char kStart[] = "DAXO configuration";
const char kDialogShown[] = "configuration dialog is displayed";
const char kWritten[] = "configuration has been succesfully written to EEPROM";
const char kTestShown[] = "dialog for new setting test is displayed";
const char kFinished[] = "DAXO configuration has been succesfully finished";

std::string Summary(const std::string& serial, int address, int baud, const char* parity)
{
    return "configuration for " + serial + ": address " + std::to_string(address) + "; " + std::to_string(baud) +
           " Bd, parity " + parity;
}
const char kNone[] = "\x9E\xE1\x64n\xE1 (NO)";

// The reports of one configured and tested unit, from the start of its pass.
Reports ConfiguredUnit(const std::string& summary)
{
    return {{kProgress, kStart},     {kProgress, kDialogShown}, {kSuccess, kWritten},
            {kProgress, kTestShown}, {kSummary, summary},       {kSuccess, kFinished}};
}

Reports operator+(Reports a, const Reports& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The offsets at which the module looks into the host's cached image, in order.
class CacheReads {
public:
    CacheReads() { DaxoTesterSetEventSink(&CacheReads::Sink, this); }
    ~CacheReads() { DaxoTesterSetEventSink(nullptr, nullptr); }
    CacheReads(const CacheReads&) = delete;
    CacheReads& operator=(const CacheReads&) = delete;
    std::vector<int> offsets;

private:
    static void Sink(void* context, int kind, const unsigned char*, int length, int)
    {
        if (kind == TesterEventCacheRead)
            static_cast<CacheReads*>(context)->offsets.push_back(length);
    }
};

class Procedure : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryA("TestDAXO01.dll");
        ASSERT_NE(module, nullptr);
        auto getInstance = daxotest::Export<void* (*)()>(module, "_GetTestInstance");
        ASSERT_NE(getInstance, nullptr);
        test = CTestObject(getInstance());
        test.SetLanguageFile("");
        test.LanguageFileClose();
    }
    void TearDown() override { ::FreeLibrary(module); }

    // Runs one call with the operator's script; every message box is recorded and answered
    // by the script's own steps.
    int Configure(int checkFlag = 0)
    {
        driver.SetOpenedCallback([this](const Window& w) {
            opened.push_back(w.IsMessageBox() ? "msgbox" : w.HasControl(IDC_WRITE) ? "config"
                                                         : w.HasControl(IDC_TEST_INFO) ? "test" : "confirm");
        });
        int result = test.ConfigureThermometer(owner.Handle(), 0, checkFlag);
        EXPECT_TRUE(driver.Succeeded()) << driver.Report();
        return result;
    }

    // The operator writes the configuration with `actions` done first.
    void Write(std::function<void(Window&)> actions = nullptr)
    {
        driver.OnDialog(IDC_WRITE, [actions](Window& w) {
            if (actions)
                actions(w);
            w.Click(IDC_WRITE);
        }, "write");
    }
    void Confirm(int button)
    {
        driver.OnDialog(IDC_CONFIRM_PROMPT, [button](Window& w) { w.Click(button); }, "next unit");
    }
    void Answer(int button) { daxotest::AnswerMessageBox(driver, boxes, button); }

    HMODULE module = nullptr;
    CTestObject test{nullptr};
    daxotest::OwnerWindow owner;
    daxotest::ReportCapture reports;
    OperatorDriver driver;
    std::vector<SeenBox> boxes;
    std::vector<std::string> opened;
};

TEST_F(Procedure, FailedEepromCheckEndsTheCallWithOneReportAndNoDialog)
{
    BenchFile().Host("UserConfig", kUserConfig).Load();  // nothing at the fixture
    EXPECT_EQ(Configure(5), 2);
    EXPECT_EQ(reports.CodesAndTexts(), (Reports{{kProgress, kStart}}));
    std::vector<SimEvent> reads = daxotest::BenchEvents(SimEventRead);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].checkFlag, 5) << "the caller's check flag reaches the first check";
    EXPECT_TRUE(reports.Reports()[0].hasHeading);
    EXPECT_FALSE(reports.Reports()[0].hasLine);
    EXPECT_EQ(reports.Reports()[0].window, owner.Handle());
    EXPECT_EQ(reports.Reports()[0].flag, 1);
    EXPECT_TRUE(opened.empty());
}

TEST_F(Procedure, BlankTypeCodeIsReportedAndNothingIsShown)
{
    BenchFile().Host("UserConfig", kUserConfig).Unit({"TypeCodeHex=20202020202020202020202020202020", "Serial=1"}).Load();
    CacheReads reads;
    EXPECT_EQ(Configure(), 2);
    EXPECT_EQ(reads.offsets, std::vector<int>{40}) << "the serial of a unit without a type code is never read";
    EXPECT_EQ(reports.CodesAndTexts(), (Reports{{kProgress, kStart}, {kFailure, "there is no configuration for type \"\""}}));
    EXPECT_TRUE(opened.empty());
}

TEST_F(Procedure, OneUnitConfiguredAndTestedReturnsOne)
{
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=00000712", "TypeCode=VX1205.10"}).Load();
    Write([](Window& w) { w.SetText(IDC_ADDRESS, "5"); });
    CacheReads reads;
    EXPECT_EQ(Configure(), 1);
    EXPECT_EQ(reads.offsets, (std::vector<int>{40, 80})) << "the type code, then the serial";
    EXPECT_EQ(reports.CodesAndTexts(), (ConfiguredUnit(Summary("00000712", 5, 9600, kNone))));
    for (const daxotest::Report& report : reports.Reports()) {
        EXPECT_EQ(report.window, owner.Handle());
        EXPECT_EQ(report.hasHeading, !report.hasLine) << "exactly one text per report";
        EXPECT_EQ(report.reserved, 0);
    }
    // The test dialog ends by itself when the unit answers; nothing else is shown.
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.front(), "config");
    for (const std::string& window : opened)
        EXPECT_TRUE(window == "config" || window == "test") << window;
}

TEST_F(Procedure, CancelledConfigurationEndsTheCall)
{
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=1"}).Load();
    driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
    EXPECT_EQ(Configure(), 2);
    EXPECT_EQ(reports.CodesAndTexts(),
              (Reports{{kProgress, kStart}, {kProgress, kDialogShown}, {kFailure, "configuration user break"}}));
}

TEST_F(Procedure, FailedTestOffersTheSameUnitWithTheValuesJustWritten)
{
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=1", "Silent=1"}).Unit({"Serial=2"}).Load();
    Write([](Window& w) {
        w.SetText(IDC_ADDRESS, "33");
        w.SetText(IDC_DELAY, "40");
        w.Select(IDC_BAUD, "4800");
        w.Select(IDC_PARITY, "Sud\xE1 (EVEN)");
    });
    driver.OnDialog(IDC_TEST_INFO, [](Window& w) { w.Click(IDCANCEL); }, "back to the configuration");
    std::string address, delay, baud, parity;
    driver.OnDialog(IDC_WRITE, [&](Window& w) {
        address = w.Text(IDC_ADDRESS);
        delay = w.Text(IDC_DELAY);
        baud = w.SelectedText(IDC_BAUD);
        parity = w.SelectedText(IDC_PARITY);
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(Configure(), 2);
    EXPECT_EQ(reports.CodesAndTexts(),
              (Reports{{kProgress, kStart}, {kProgress, kDialogShown}, {kSuccess, kWritten}, {kProgress, kTestShown},
                       {kFailure, "new setting test error"}, {kProgress, kStart}, {kProgress, kDialogShown},
                       {kFailure, "configuration user break"}}));
    EXPECT_EQ(address, "33");
    EXPECT_EQ(delay, "40");
    EXPECT_EQ(baud, "4800");
    EXPECT_EQ(parity, "Sud\xE1 (EVEN)");
    std::vector<int> flags;
    for (int i = 0; i < CSimBench::Instance().EventCount(); ++i) {
        SimEvent event;
        CSimBench::Instance().GetEvent(i, &event);
        if (event.kind == SimEventRead) {
            flags.push_back(event.checkFlag);
            EXPECT_EQ(event.unit, 0) << "the same unit is read again";
        }
    }
    EXPECT_EQ(flags, (std::vector<int>{0, 1}));
}

TEST_F(Procedure, SeriesWrapsTheAddressAfter125WithAWarning)
{
    BenchFile()
        .Host("UserConfig", kUserConfig)
        .Unit({"Serial=00000712"})
        .Unit({"Serial=00000713"})
        .Unit({"Serial=00000714"})
        .Load();
    Write([](Window& w) {
        w.SetText(IDC_ADDRESS, "124");
        w.Check(IDC_SERIES, true);
    });
    Confirm(IDOK);
    std::string second, third;
    Write([&](Window& w) { second = w.Text(IDC_ADDRESS); });
    Confirm(IDOK);
    Answer(IDOK);
    Write([&](Window& w) { third = w.Text(IDC_ADDRESS); });
    Confirm(IDCANCEL);
    EXPECT_EQ(Configure(), 2);
    EXPECT_EQ(second, "125");
    EXPECT_EQ(third, "1");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Module address can not be greater than 125!\nNext unit will have initialize address as 1.");
    EXPECT_EQ(boxes[0].owner, owner.Handle());
    EXPECT_EQ(reports.CodesAndTexts(), (ConfiguredUnit(Summary("00000712", 124, 9600, kNone)) +
                                           ConfiguredUnit(Summary("00000713", 125, 9600, kNone)) +
                                           ConfiguredUnit(Summary("00000714", 1, 9600, kNone)) +
                                           Reports{{kFailure, "unit series configuration user break"}}));
}

TEST_F(Procedure, SameSerialAskedAgainYesReconfigures)
{
    BenchFile()
        .Host("UserConfig", kUserConfig)
        .Unit({"Serial=00001234"})
        .Unit({"Serial=1234"})
        .Load();
    Write([](Window& w) { w.Check(IDC_SERIES, true); w.SetText(IDC_ADDRESS, "7"); });
    Confirm(IDOK);
    Answer(IDYES);
    Write();
    Confirm(IDCANCEL);
    EXPECT_EQ(Configure(), 2);
    ASSERT_EQ(boxes.size(), 1u) << "00001234 and 1234 are the same serial number";
    EXPECT_EQ(boxes[0].caption, "DAXO-01");
    EXPECT_EQ(boxes[0].text, "Unit with this serial number already has been configured.!\t\n\nDo you really want to "
                             "configure this unit again?\t");
    EXPECT_EQ(boxes[0].style, static_cast<unsigned>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(boxes[0].owner, owner.Handle());
    EXPECT_EQ(reports.CodesAndTexts(), (ConfiguredUnit(Summary("00001234", 7, 9600, kNone)) +
                                           ConfiguredUnit(Summary("1234", 8, 9600, kNone)) +
                                           Reports{{kFailure, "unit series configuration user break"}}));
}

TEST_F(Procedure, SameSerialRefusedThenNextUnitOrEnd)
{
    BenchFile()
        .Host("UserConfig", kUserConfig)
        .Unit({"Serial=5"})
        .Unit({"Serial=5"})
        .Unit({"Serial=6"})
        .Unit({"Serial=6"})
        .Load();
    Write([](Window& w) { w.Check(IDC_SERIES, true); });
    Confirm(IDOK);
    Answer(IDNO);
    Confirm(IDOK);   // another unit is connected instead
    Write();
    Confirm(IDOK);
    Answer(IDNO);
    Confirm(IDCANCEL);
    EXPECT_EQ(Configure(), 2);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(reports.CodesAndTexts(), (ConfiguredUnit(Summary("5", 1, 9600, kNone)) + Reports{{kProgress, kStart}} +
                                           ConfiguredUnit(Summary("6", 2, 9600, kNone)) +
                                           Reports{{kProgress, kStart}, {kFailure, "unit series configuration user break"}}));
}

TEST_F(Procedure, SecondCallAsksNoRepeatQuestionAndStartsAgain)
{
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=9"}).Unit({"Serial=9"}).Load();
    Write();
    EXPECT_EQ(Configure(), 1);
    Write();
    EXPECT_EQ(Configure(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Procedure, EveryEndingLeavesTheConfiguredUnitsListEmpty)
{
    // Unit 1 comes back after each ending: a list kept from the call before would ask whether
    // to configure it again.
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=1"}).Unit({"Serial=2"}).Unit({"Serial=1"})
        .Unit({"Serial=3"}).Unit({"Serial=1"}).Load();
    // A series whose second unit is configured on its own ends with 1...
    Write([](Window& w) { w.Check(IDC_SERIES, true); });
    Confirm(IDOK);
    Write([](Window& w) { w.Check(IDC_SERIES, false); });
    EXPECT_EQ(Configure(), 1);
    // ...and one cancelled at its second unit with 2.
    Write([](Window& w) { w.Check(IDC_SERIES, true); });
    Confirm(IDOK);
    driver.OnDialog(IDC_WRITE, [](Window& w) { w.Click(IDCANCEL); });
    EXPECT_EQ(Configure(), 2);
    // The unit cancelled at is passed over.
    Write([](Window& w) { w.Check(IDC_SERIES, false); });
    EXPECT_EQ(Configure(1), 1);
    EXPECT_EQ(CSimBench::Instance().ConnectedIndex(), 4);
    EXPECT_EQ(std::count(opened.begin(), opened.end(), "msgbox"), 0);
}

TEST_F(Procedure, ParityWordsAndSerialFieldsInTheSummary)
{
    BenchFile()
        .Host("UserConfig", "01000900580200000000000001010101FFFFFFFF00")
        .Unit({"SerialHex=3132000000000000"})
        .Unit({"SerialHex=2573256425732564", "TypeCodeHex=FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"})
        .Unit({"Serial=00000003"})
        .Load();
    Write([](Window& w) { w.Select(IDC_PARITY, "Lich\xE1 (ODD)"); });
    EXPECT_EQ(Configure(), 1);
    Write([](Window& w) { w.Select(IDC_PARITY, "Sud\xE1 (EVEN)"); });
    EXPECT_EQ(Configure(), 1);
    Write();
    EXPECT_EQ(Configure(), 1);
    std::vector<std::string> summaries;
    for (const auto& report : reports.CodesAndTexts())
        if (report.first == kSummary)
            summaries.push_back(report.second);
    EXPECT_EQ(summaries, (std::vector<std::string>{Summary("12", 1, 9600, "lich\xE1 (ODD)"),
                                                   Summary("%s%d%s%d", 1, 9600, "sud\xE1 (EVEN)"),
                                                   Summary("00000003", 1, 9600, kNone)}));
}

TEST_F(Procedure, ParityCodeOutsideTheListReadsAsEven)
{
    // parity 5 loads no list entry, so the record keeps it and the unit takes it.
    BenchFile().Host("UserConfig", "01000905580200000000000001010101FFFFFFFF00").Unit({"Serial=4"}).Load();
    Write();
    EXPECT_EQ(Configure(), 1);
    EXPECT_EQ(reports.CodesAndTexts()[4], (std::pair<int, std::string>{kSummary, Summary("4", 1, 9600, "sud\xE1 (EVEN)")}));
}

TEST_F(Procedure, TranslatedSummaryFillsItsOwnPlaceholdersInOrder)
{
    std::string path = daxotest::TempPath("summary.xml");
    daxotest::WriteFileBytes(path,
                             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TesterLanguage><Message>"
                             "<MessageItem ID=\"39\" text=\"%d Bd; parita %s; adresa %d; v\xC3\xBDrobek %s\"/>"
                             "<MessageItem ID=\"45\" text=\"\xC5\xBE\xC3\xA1\x64n\xC3\xA1 konfigurace\"/>"
                             "</Message></TesterLanguage>\n");
    ASSERT_EQ(test.SetLanguageFile(path.c_str()), 1);
    ASSERT_EQ(test.LanguageFileOpen(), 1);
    BenchFile().Host("UserConfig", kUserConfig).Unit({"Serial=00000712"}).Unit({"TypeCode= "}).Load();
    Write([](Window& w) { w.SetText(IDC_ADDRESS, "5"); });
    EXPECT_EQ(Configure(), 1);
    EXPECT_EQ(Configure(1), 2);
    test.LanguageFileClose();
    Reports all = reports.CodesAndTexts();
    ASSERT_GE(all.size(), 8u);
    EXPECT_EQ(all[4], (std::pair<int, std::string>{kSummary, "5 Bd; parita 00000712; adresa 9600; v\xFDrobek " +
                                                            std::string(kNone)}));
    EXPECT_EQ(all.back(), (std::pair<int, std::string>{kFailure, "\x9E\xE1\x64n\xE1 konfigurace for type \"\""}));
}

TEST_F(Procedure, SummaryWithFewerPlaceholdersLeavesTheRestOut)
{
    std::string path = daxotest::TempPath("short.xml");
    daxotest::WriteFileBytes(path, "<TesterLanguage><Message><MessageItem ID=\"39\" text=\"hotovo %s (%d)\"/>"
                                   "</Message></TesterLanguage>");
    ASSERT_EQ(test.SetLanguageFile(path.c_str()), 1);
    ASSERT_EQ(test.LanguageFileOpen(), 1);
    BenchFile().Host("UserConfig", kUserConfig).Unit({"SerialHex=2573256400000000"}).Load();
    Write([](Window& w) { w.SetText(IDC_ADDRESS, "3"); });
    EXPECT_EQ(Configure(), 1);
    test.LanguageFileClose();
    EXPECT_EQ(reports.CodesAndTexts()[4], (std::pair<int, std::string>{kSummary, "hotovo %s%d (3)"}));
}

} // namespace
