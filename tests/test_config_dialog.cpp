// The configuration dialog as an operator uses it: the layout for each type of unit, what it
// loads, how the controls react, every check of "Write and test", and the record the unit gets.
#include "UnitContract.h"
#include "DlgConfig.h"
#include "ModuleDialogs.h"
#include "SimBench.h"
#include "TestDAXO01.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <cstring>

using daxotest::BenchFile;
using daxotest::ModuleResources;
using daxotest::SeenBox;
using opdriver::OperatorDriver;
using opdriver::Window;

namespace {

// address 5, delay 20, 19200 Bd, even, timeout 1000, quadrature I0/I1, currents 2 (I0/I1) and
// 3 (I2/I3), pulses 1..4 and 100..103, reserved 0xAB.
const char kUserConfig[] = "05141302E8030000000001320102030464656667AB";
const char kDefaultBlock[] = "00000000000000005000A000000000113C";  // 2400 Bd, odd, address 17, delay 60

const unsigned int kInputs23[] = {IDC_QUAD23, IDC_CURRENT23, IDC_LBL_CURRENT23, IDC_MIN2, IDC_MIN3,
                                  IDC_MAX2,   IDC_MAX3,      IDC_SPIN_MIN2,     IDC_SPIN_MIN3,
                                  IDC_SPIN_MAX2, IDC_SPIN_MAX3, IDC_LBL_I2,     IDC_LBL_I3};
const unsigned int kMinEdits[] = {IDC_MIN0, IDC_MIN1, IDC_MIN2, IDC_MIN3};
const unsigned int kMaxEdits[] = {IDC_MAX0, IDC_MAX1, IDC_MAX2, IDC_MAX3};
const unsigned int kMinSpins[] = {IDC_SPIN_MIN0, IDC_SPIN_MIN1, IDC_SPIN_MIN2, IDC_SPIN_MIN3};
const unsigned int kMaxSpins[] = {IDC_SPIN_MAX0, IDC_SPIN_MAX1, IDC_SPIN_MAX2, IDC_SPIN_MAX3};

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override { Bench(kUserConfig, kDefaultBlock, {}); }

    void Bench(const char* user, const char* block, std::vector<std::string> unit)
    {
        BenchFile bench;
        if (user)
            bench.Host("UserConfig", user);
        if (block)
            bench.Host("DefaultBlock", block);
        unit.push_back("Serial=00000712");
        bench.Unit(unit).Load();
        ASSERT_EQ(test.CheckEEPROM(nullptr, 0, 0), 1);
    }

    // Shows the dialog for `type` with the operator's `actions` and answers every message box
    // the actions cause with OK, recording it.
    INT_PTR Show(const char* type, std::function<void(Window&)> actions)
    {
        dialog.SetTest(&test);
        dialog.SetTypeCode(type);
        OperatorDriver driver;
        driver.SetOpenedCallback([this](const Window& w) {
            if (w.IsMessageBox()) {
                boxes.push_back({w.Caption(), w.MessageText(), w.MessageStyle(), daxotest::OwnerOf(w.Handle())});
                const_cast<Window&>(w).Answer(IDOK);
            }
        });
        driver.OnDialog(IDC_WRITE, std::move(actions), "operator").ExpectNothingElse();
        INT_PTR result = dialog.Show(-1);
        std::string answered;
        for (const SeenBox& box : boxes)
            answered += "\nanswered OK: " + box.caption + " message box '" + box.text + "'";
        EXPECT_TRUE(driver.Succeeded()) << driver.Report() << answered;
        return result;
    }

    std::vector<std::vector<unsigned char>> Writes() const
    {
        std::vector<std::vector<unsigned char>> writes;
        for (const SimEvent& event : daxotest::BenchEvents(SimEventWrite))
            writes.emplace_back(event.data, event.data + event.length);
        return writes;
    }

    CTestDAXO01 test{nullptr};
    daxotest::OwnerWindow owner;
    CConfigDialog dialog{owner.Handle(), ModuleResources()};
    std::vector<SeenBox> boxes;
};

TEST_F(ConfigDialog, TypeCodeDecidesWhichInputsAndTimeoutShow)
{
    struct Layout {
        const char* type;
        bool inputsVisible, inputsEnabled, timeoutVisible;
    };
    const Layout layouts[] = {{"VX1203.00", true, false, false}, {"VX1205.00", false, true, true},
                              {"VX1205.10", false, true, true},  {"VX1205.20", false, true, true},
                              {"VX1206.00", true, true, false},  {"vx1205.10", true, true, false},
                              {"", true, true, false}};
    for (const Layout& layout : layouts) {
        Show(layout.type, [&](Window& w) {
            for (unsigned int id : kInputs23) {
                EXPECT_EQ(w.IsVisible(id), layout.inputsVisible) << layout.type << " " << id;
                EXPECT_EQ(w.IsEnabled(id), layout.inputsEnabled) << layout.type << " " << id;
            }
            EXPECT_EQ(w.IsVisible(IDC_TIMEOUT_ON), layout.timeoutVisible) << layout.type;
            EXPECT_EQ(w.IsVisible(IDC_TIMEOUT), layout.timeoutVisible) << layout.type;
            EXPECT_TRUE(w.IsVisible(IDC_MIN1) && w.IsEnabled(IDC_MIN1)) << layout.type;
            w.Click(IDCANCEL);
        });
    }
}

TEST_F(ConfigDialog, ShowsTheStoredUserConfigurationWithLocalisedTexts)
{
    EXPECT_EQ(Show("VX1206.00", [](Window& w) {
                  EXPECT_EQ(w.Caption(), "DAXO configuration");
                  EXPECT_EQ(w.Text(IDC_WRITE), "Write and test");
                  EXPECT_EQ(w.Text(IDC_TIMEOUT_ON), "Communication timeout [ms]");
                  EXPECT_EQ(w.Text(IDC_NOANSWER), "neodpov\xED" "dat") << "keeps its template text";
                  EXPECT_EQ(w.Text(IDC_QUAD01), "I0 a I1");
                  EXPECT_EQ(w.Text(IDC_ADDRESS), "5");
                  EXPECT_EQ(w.Text(IDC_DELAY), "20");
                  EXPECT_TRUE(w.IsEnabled(IDC_DELAY));
                  EXPECT_FALSE(w.IsChecked(IDC_NOANSWER));
                  EXPECT_EQ(w.SelectedText(IDC_BAUD), "19200");
                  EXPECT_EQ(w.SelectedText(IDC_PARITY), "Sud\xE1 (EVEN)");
                  EXPECT_TRUE(w.IsChecked(IDC_QUAD01));
                  EXPECT_FALSE(w.IsChecked(IDC_QUAD23));
                  EXPECT_EQ(w.Selection(IDC_CURRENT01), 1);
                  EXPECT_EQ(w.Selection(IDC_CURRENT23), 2);
                  const char* minTexts[] = {"2.5", "5.0", "7.5", "10.0"};
                  for (int i = 0; i < 4; ++i) {
                      EXPECT_EQ(w.Text(kMinEdits[i]), minTexts[i]);
                      EXPECT_EQ(w.SpinPosition(kMinSpins[i]), i + 1);
                      EXPECT_EQ(w.SpinPosition(kMaxSpins[i]), 100 + i);
                  }
                  EXPECT_EQ(w.Text(IDC_MAX3), "257.5");
                  EXPECT_EQ(w.Text(IDC_TIMEOUT), "1000");
                  EXPECT_TRUE(w.IsChecked(IDC_TIMEOUT_ON));
                  EXPECT_FALSE(w.IsChecked(IDC_SERIES));
                  w.Click(IDCANCEL);
              }),
              -1);
}

TEST_F(ConfigDialog, SilentDelayZeroTimeoutAndCurrentCodeOneShowAsTheyShould)
{
    // delay 255, timeout 0, currents 0x41 (I2/I3 code 4, I0/I1 code 1).
    Bench("01FF0900000000000000004100000000FFFFFFFF00", kDefaultBlock, {});
    Show("VX1205.10", [](Window& w) {
        EXPECT_EQ(w.Text(IDC_DELAY), "10");
        EXPECT_FALSE(w.IsEnabled(IDC_DELAY));
        EXPECT_TRUE(w.IsChecked(IDC_NOANSWER));
        EXPECT_EQ(w.Text(IDC_TIMEOUT), "600");
        EXPECT_FALSE(w.IsEnabled(IDC_TIMEOUT));
        EXPECT_FALSE(w.IsChecked(IDC_TIMEOUT_ON));
        EXPECT_EQ(w.Selection(IDC_CURRENT01), 0);
        EXPECT_EQ(w.Selection(IDC_CURRENT23), 0);
        EXPECT_EQ(w.Text(IDC_MIN0), "0.0");
        EXPECT_EQ(w.Text(IDC_MAX0), "637.5");
        w.Check(IDC_NOANSWER, false);
        EXPECT_TRUE(w.IsEnabled(IDC_DELAY));
        EXPECT_EQ(w.Text(IDC_DELAY), "10");
        w.Check(IDC_TIMEOUT_ON, true);
        EXPECT_TRUE(w.IsEnabled(IDC_TIMEOUT));
        w.Click(IDCANCEL);
    });
}

TEST_F(ConfigDialog, RateOutsideTheTableFallsBackToTheDefaultBlock)
{
    Bench("2A0003000000000000000000000000000000000077", kDefaultBlock, {});
    Show("VX1205.10", [](Window& w) {
        EXPECT_EQ(w.Text(IDC_ADDRESS), "17");
        EXPECT_EQ(w.Text(IDC_DELAY), "60");
        EXPECT_EQ(w.SelectedText(IDC_BAUD), "2400");
        EXPECT_EQ(w.SelectedText(IDC_PARITY), "Lich\xE1 (ODD)");
        EXPECT_EQ(w.Text(IDC_TIMEOUT), "600");
        EXPECT_TRUE(w.IsChecked(IDC_TIMEOUT_ON));
        EXPECT_TRUE(w.IsEnabled(IDC_TIMEOUT));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(w.SpinPosition(kMinSpins[i]), 1);
            EXPECT_EQ(w.SpinPosition(kMaxSpins[i]), 255);
            EXPECT_EQ(w.Text(kMinEdits[i]), "2.5");
            EXPECT_EQ(w.Text(kMaxEdits[i]), "637.5");
        }
        EXPECT_EQ(w.Selection(IDC_CURRENT01), 0);
        EXPECT_FALSE(w.IsChecked(IDC_QUAD01));
        w.Click(IDC_WRITE);
    });
    std::vector<std::vector<unsigned char>> writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    const std::vector<unsigned char> expected = {17, 60, 2, 1, 0x58, 0x02, 's', 'a', 'v', 'e',
                                                 0,  0,  1, 1, 1,    1,    255, 255, 255, 255};
    EXPECT_EQ(writes[0], expected) << "the default configuration written unchanged";
    EXPECT_EQ(dialog.ResultConfig().reserved, 0x77) << "byte 20 comes from the stored record";
}

TEST_F(ConfigDialog, WithoutAStoredConfigurationOrDefaultBlockTheControlsStayEmpty)
{
    Bench(nullptr, kDefaultBlock, {});
    Show("VX1205.10", [](Window& w) {
        EXPECT_EQ(w.Text(IDC_ADDRESS), "");
        EXPECT_EQ(w.Selection(IDC_BAUD), -1);
        EXPECT_EQ(w.Text(IDC_MIN0), "");
        // The focus lands in the empty address edit, whose notification already greys the button.
        EXPECT_FALSE(w.IsEnabled(IDC_WRITE));
        EXPECT_EQ(w.Caption(), "DAXO configuration");
        w.Click(IDCANCEL);
    });
    Bench("2A0003000000000000000000000000000000000077", nullptr, {});
    Show("VX1205.10", [](Window& w) {
        EXPECT_EQ(w.Text(IDC_ADDRESS), "");
        EXPECT_EQ(w.Selection(IDC_PARITY), -1);
        w.Click(IDCANCEL);
    });
}

TEST_F(ConfigDialog, SecondShowingProposesTheAcceptedCommunicationSettings)
{
    ASSERT_EQ(Show("VX1205.10", [](Window& w) {
                  w.SetText(IDC_ADDRESS, "7");
                  w.SetText(IDC_DELAY, "30");
                  w.Select(IDC_BAUD, "4800");
                  w.Select(IDC_PARITY, "Lich\xE1 (ODD)");
                  w.Check(IDC_SERIES, true);
                  w.Click(IDC_WRITE);
              }),
              1);
    EXPECT_EQ(dialog.IsSeries(), 1);
    // The host now holds another configuration; only the other fields come from it.
    Bench("2A0009000000000000000300090909095A5A5A5A00", kDefaultBlock, {});
    Show("VX1205.10", [](Window& w) {
        EXPECT_EQ(w.Text(IDC_ADDRESS), "7");
        EXPECT_EQ(w.Text(IDC_DELAY), "30");
        EXPECT_EQ(w.SelectedText(IDC_BAUD), "4800");
        EXPECT_EQ(w.SelectedText(IDC_PARITY), "Lich\xE1 (ODD)");
        EXPECT_TRUE(w.IsChecked(IDC_SERIES));
        EXPECT_TRUE(w.IsChecked(IDC_QUAD01));
        EXPECT_TRUE(w.IsChecked(IDC_QUAD23));
        EXPECT_EQ(w.Text(IDC_MIN0), "22.5");
        EXPECT_FALSE(w.IsChecked(IDC_TIMEOUT_ON));
        w.Click(IDCANCEL);
    });
    EXPECT_EQ(dialog.IsSeries(), 1) << "Cancel leaves the series flag";
    EXPECT_EQ(dialog.ResultConfig().address, 7);
}

TEST_F(ConfigDialog, WriteButtonFollowsTheAddressAndDelayAsTheOperatorTypes)
{
    Show("VX1205.10", [](Window& w) {
        EXPECT_TRUE(w.IsEnabled(IDC_WRITE));
        w.SetText(IDC_ADDRESS, "");
        EXPECT_FALSE(w.IsEnabled(IDC_WRITE));
        w.SetText(IDC_ADDRESS, "3");
        EXPECT_TRUE(w.IsEnabled(IDC_WRITE));
        w.SetText(IDC_DELAY, "");
        EXPECT_FALSE(w.IsEnabled(IDC_WRITE));
        w.Check(IDC_NOANSWER, true);
        EXPECT_TRUE(w.IsEnabled(IDC_WRITE));
        EXPECT_FALSE(w.IsEnabled(IDC_DELAY));
        w.Check(IDC_NOANSWER, false);
        EXPECT_FALSE(w.IsEnabled(IDC_WRITE));
        w.Click(IDCANCEL);
    });
}

TEST_F(ConfigDialog, WheelStepsTheFocusedFieldWithinItsLimits)
{
    Show("VX1206.00", [](Window& w) {
        w.SetText(IDC_ADDRESS, "125");
        w.Wheel(IDC_ADDRESS, 120);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "125");
        w.Wheel(IDC_ADDRESS, -120);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "124");
        w.SetText(IDC_ADDRESS, "");
        w.Wheel(IDC_ADDRESS, -120);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "1");
        w.Wheel(IDC_ADDRESS, 0);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "1") << "zero counts down";
        w.SetText(IDC_ADDRESS, "2147483647");
        w.Wheel(IDC_ADDRESS, 120);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "125") << "a huge number steps down to the limit";
        w.SetText(IDC_ADDRESS, "2147483648");
        w.Wheel(IDC_ADDRESS, 120);
        EXPECT_EQ(w.Text(IDC_ADDRESS), "125");
        w.SetText(IDC_DELAY, "252");
        w.Wheel(IDC_DELAY, 120);
        EXPECT_EQ(w.Text(IDC_DELAY), "254");
        w.SetText(IDC_DELAY, "3");
        w.Wheel(IDC_DELAY, -120);
        EXPECT_EQ(w.Text(IDC_DELAY), "0");
        w.SetSpin(IDC_SPIN_MAX2, 254);
        EXPECT_EQ(w.Text(IDC_MAX2), "635.0");
        w.Wheel(IDC_MAX2, 120);
        EXPECT_EQ(w.Text(IDC_MAX2), "637.5");
        EXPECT_EQ(w.SpinPosition(IDC_SPIN_MAX2), 255);
        w.SetSpin(IDC_SPIN_MIN1, 0);
        w.Wheel(IDC_MIN1, -120);
        EXPECT_EQ(w.Text(IDC_MIN1), "0.0");
        w.SetSpin(IDC_SPIN_MIN1, 10);
        w.Wheel(IDC_MIN1, 120);
        EXPECT_EQ(w.Text(IDC_MIN1), "37.5");
        EXPECT_EQ(w.Text(IDC_MIN0), "2.5") << "the other pairs are untouched";
        w.Wheel(IDC_PARITY, 120);
        EXPECT_EQ(w.SelectedText(IDC_PARITY), "Sud\xE1 (EVEN)") << "a list is not stepped";
        w.Click(IDCANCEL);
    });
}

struct Rejection {
    const char* type;
    const char* what;
    std::function<void(Window&)> enter;
    unsigned messageId;
    unsigned focus;
};

TEST_F(ConfigDialog, EachWrongEntryIsRejectedWithItsMessageAndFocus)
{
    const Rejection cases[] = {
        {"VX1205.10", "address 0", [](Window& w) { w.SetText(IDC_ADDRESS, "0"); }, msg::BadAddress, IDC_ADDRESS},
        {"VX1205.10", "address 126", [](Window& w) { w.SetText(IDC_ADDRESS, "126"); }, msg::BadAddress, IDC_ADDRESS},
        {"VX1205.10", "address 255", [](Window& w) { w.SetText(IDC_ADDRESS, "255"); }, msg::BadAddress, IDC_ADDRESS},
        {"VX1205.10", "address text", [](Window& w) { w.SetText(IDC_ADDRESS, "abc"); }, msg::BadAddress, IDC_ADDRESS},
        {"VX1205.10", "address and delay", [](Window& w) { w.SetText(IDC_ADDRESS, "128"); w.SetText(IDC_DELAY, "300"); }, msg::BadAddress, IDC_ADDRESS},
        {"VX1205.10", "delay 255", [](Window& w) { w.SetText(IDC_DELAY, "255"); }, msg::BadDelay, IDC_DELAY},
        {"VX1205.10", "max below min I0", [](Window& w) { w.SetSpin(IDC_SPIN_MIN0, 10); w.SetSpin(IDC_SPIN_MAX0, 9); }, msg::BadMaxPulseI0, IDC_MAX0},
        {"VX1206.00", "max below min I3", [](Window& w) { w.SetSpin(IDC_SPIN_MIN3, 200); w.SetSpin(IDC_SPIN_MAX3, 199); }, msg::BadMaxPulseI0 + 3, IDC_MAX3},
        {"VX1205.10", "timeout 0", [](Window& w) { w.SetText(IDC_TIMEOUT, "0"); }, msg::BadTimeout, IDC_TIMEOUT},
        {"VX1205.10", "timeout empty", [](Window& w) { w.SetText(IDC_TIMEOUT, ""); }, msg::BadTimeout, IDC_TIMEOUT},
        {"VX1205.10", "timeout 65536", [](Window& w) { w.SetText(IDC_TIMEOUT, "65536"); }, msg::BadTimeout, IDC_TIMEOUT},
    };
    for (const Rejection& rejection : cases) {
        boxes.clear();
        CSimBench::Instance().ClearEvents();
        unsigned focus = 0;
        std::string selected;
        EXPECT_EQ(Show(rejection.type,
                       [&](Window& w) {
                           rejection.enter(w);
                           w.Click(IDC_WRITE);
                           focus = w.FocusId();
                           HWND edit = ::GetDlgItem(w.Handle(), static_cast<int>(rejection.focus));
                           DWORD start = 0, end = 0;
                           ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                           selected = std::to_string(start) + ".." + std::to_string(end);
                           EXPECT_EQ(static_cast<int>(end), ::GetWindowTextLengthA(edit)) << rejection.what;
                           w.Click(IDCANCEL);
                       }),
                  -1)
            << rejection.what;
        ASSERT_EQ(boxes.size(), 1u) << rejection.what;
        EXPECT_EQ(boxes[0].text, test.GetMessageA(rejection.messageId)) << rejection.what;
        EXPECT_EQ(boxes[0].caption, "DAXO-01");
        EXPECT_EQ(boxes[0].style, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION)) << rejection.what;
        EXPECT_EQ(focus, rejection.focus) << rejection.what;
        EXPECT_EQ(selected.substr(0, 3), "0..") << rejection.what;
        EXPECT_TRUE(Writes().empty()) << rejection.what;
    }
    EXPECT_EQ(dialog.ResultConfig().address, 0);
}

TEST_F(ConfigDialog, WritesExactlyTheRecordTheOperatorEntered)
{
    daxotest::ReportCapture reports;
    EXPECT_EQ(Show("VX1205.10", [](Window& w) {
                  w.SetText(IDC_ADDRESS, "125");
                  w.SetText(IDC_DELAY, "254");
                  w.Select(IDC_BAUD, "1200");
                  w.Select(IDC_PARITY, "\x8E\xE1\x64n\xE1 (NO)");
                  w.SetText(IDC_TIMEOUT, "65535");
                  w.Check(IDC_QUAD01, false);
                  w.Select(IDC_CURRENT01, "p\xF8ibli\x9En\xEC 100uA");
                  w.SetSpin(IDC_SPIN_MIN0, 0);
                  w.SetSpin(IDC_SPIN_MAX0, 0);
                  w.SetSpin(IDC_SPIN_MIN1, 255);
                  w.SetSpin(IDC_SPIN_MAX1, 255);
                  w.Click(IDC_WRITE);
              }),
              1);
    std::vector<std::vector<unsigned char>> writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    // The I2/I3 controls are hidden for this type but still write what they hold.
    const std::vector<unsigned char> expected = {125, 254, 1, 0, 0xFF, 0xFF, 's', 'a', 'v', 'e',
                                                 0,   0x32, 0, 255, 3, 4,   0,   255, 102, 103};
    EXPECT_EQ(writes[0], expected);
    EXPECT_EQ(dialog.ResultConfig().reserved, 0xAB);
    EXPECT_EQ(std::memcmp(&dialog.ResultConfig(), &dialog.WorkingConfig(), sizeof(UnitConfig)), 0);
    EXPECT_EQ(dialog.GetAddress(), 125);
    EXPECT_EQ(dialog.GetBaudRate(), 1200);
    EXPECT_EQ(dialog.GetParity(), 0);
    EXPECT_EQ(dialog.IsSeries(), 0);
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].code, result::kSuccess);
    EXPECT_EQ(reports.Reports()[0].line, "configuration has been succesfully written to EEPROM");
    EXPECT_EQ(reports.Reports()[0].window, owner.Handle());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ConfigDialog, InputsTheOperatorCannotSetAreBroughtIntoRangeNotRejected)
{
    // I2: minimum 10, maximum 5; I3: minimum 200, maximum 100.
    Bench("05141302E80300000000013201020AC8646505" "64AB", kDefaultBlock, {});
    for (const char* type : {"VX1205.10", "VX1203.00"}) {
        CSimBench::Instance().ClearEvents();
        EXPECT_EQ(Show(type, [](Window& w) {
                      w.Click(IDC_WRITE);
                      if (::IsWindowVisible(w.Handle()))
                          w.Click(IDCANCEL);
                  }),
                  1)
            << type;
        std::vector<std::vector<unsigned char>> writes = Writes();
        ASSERT_EQ(writes.size(), 1u) << type;
        const std::vector<unsigned char> pulses(writes[0].begin() + 12, writes[0].end());
        EXPECT_EQ(pulses, (std::vector<unsigned char>{1, 2, 10, 200, 100, 101, 10, 200})) << type;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ConfigDialog, WithoutResponseAndWithoutTimeoutIgnoreTheirEdits)
{
    Show("VX1205.10", [](Window& w) {
        w.SetText(IDC_DELAY, "999");
        w.Check(IDC_NOANSWER, true);
        w.Check(IDC_TIMEOUT_ON, false);
        w.Click(IDC_WRITE);
    });
    std::vector<std::vector<unsigned char>> writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0][1], 255);
    EXPECT_EQ(writes[0][4], 0);
    EXPECT_EQ(writes[0][5], 0);
    EXPECT_EQ(writes[0][10], 1) << "quadrature as loaded";
}

TEST_F(ConfigDialog, CurrentCodeOneAndAClearedTimeoutHoldingNonsenseAreWrittenAsZero)
{
    Bench("05141302E8030000000001110102030464656667AB", kDefaultBlock, {});  // currents 0x11
    EXPECT_EQ(Show("VX1205.10", [](Window& w) {
                  w.SetText(IDC_TIMEOUT, "abc");
                  w.Check(IDC_TIMEOUT_ON, false);
                  w.Click(IDC_WRITE);
                  if (::IsWindowVisible(w.Handle()))
                      w.Click(IDCANCEL);
              }),
              1);
    std::vector<std::vector<unsigned char>> writes = Writes();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0][11], 0x00) << "a stored current code 1 shows as 50 uA and is written as 0";
    EXPECT_EQ(writes[0][4], 0);
    EXPECT_EQ(writes[0][5], 0);
}

TEST_F(ConfigDialog, ARejectedMaximumFindsAllFourMinimaStoredAndNothingReported)
{
    daxotest::ReportCapture reports;
    Show("VX1206.00", [](Window& w) {
        for (int i = 0; i < 4; ++i)
            w.SetSpin(kMinSpins[i], 7 + i);
        w.SetSpin(IDC_SPIN_MAX0, 6);
        w.Click(IDC_WRITE);
        w.Click(IDCANCEL);
    });
    const unsigned char* minima = dialog.WorkingConfig().minPulse;
    EXPECT_EQ(std::vector<unsigned char>(minima, minima + 4), (std::vector<unsigned char>{7, 8, 9, 10}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, test.GetMessageA(msg::BadMaxPulseI0));
    EXPECT_TRUE(reports.Reports().empty());
    EXPECT_TRUE(Writes().empty());
}

TEST_F(ConfigDialog, EveryLocalisedControlTakesItsTextFromTheLanguageFile)
{
    const unsigned int ids[] = {IDC_LBL_ADDRESS, IDC_LBL_DELAY, IDC_LBL_BAUD, IDC_LBL_PARITY, IDC_LBL_QUAD,
                                IDC_LBL_CURRENT01, IDC_LBL_CURRENT23, IDC_LBL_MIN, IDC_LBL_MAX, IDC_LBL_I0,
                                IDC_LBL_I1, IDC_LBL_I2, IDC_LBL_I3, IDCANCEL, IDC_WRITE, IDC_SERIES, IDC_TIMEOUT_ON};
    std::string items;
    for (unsigned int id : ids)
        items += "<ControlItem ID=\"" + std::to_string(id) + "\" text=\"text " + std::to_string(id) + "\"/>";
    std::string path = daxotest::TempPath("controls.xml");
    daxotest::WriteFileBytes(path, "<TesterLanguage><Dialog><DialogItem ID=\"2020\" text=\"caption\">" + items +
                                       "</DialogItem></Dialog></TesterLanguage>");
    ASSERT_EQ(test.SetLanguageFile(path.c_str()), 1);
    ASSERT_EQ(test.LanguageFileOpen(), 1);
    std::vector<std::string> shown;
    Show("VX1205.10", [&](Window& w) {
        shown.push_back(w.Caption());
        for (unsigned int id : ids)
            shown.push_back(w.Text(id));
        w.Click(IDCANCEL);
    });
    test.LanguageFileClose();
    std::vector<std::string> expected = {"caption"};
    for (unsigned int id : ids)
        expected.push_back("text " + std::to_string(id));
    EXPECT_EQ(shown, expected);
}

TEST_F(ConfigDialog, FailedWriteKeepsTheDialogOpenUntilTheJumperIsFixed)
{
    Bench(kUserConfig, kDefaultBlock, {"WriteProtect=1"});
    daxotest::ReportCapture reports;
    std::vector<std::pair<int, std::string>> afterFirst;
    EXPECT_EQ(Show("VX1205.10", [&](Window& w) {
                  w.Click(IDC_WRITE);
                  afterFirst = reports.CodesAndTexts();
                  EXPECT_TRUE(::IsWindowVisible(w.Handle()));
                  CSimBench::Instance().SetWriteProtect(0, 0);
                  w.Click(IDC_WRITE);
              }),
              1);
    EXPECT_EQ(afterFirst, (std::vector<std::pair<int, std::string>>{{result::kFailure, "EEPROM configuration write error!"}}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "EEPROM configuration write error!");
    EXPECT_EQ(boxes[0].style, static_cast<unsigned>(MB_OK | MB_ICONHAND));
    ASSERT_EQ(reports.Reports().size(), 2u);
    EXPECT_EQ(reports.Reports()[1].code, result::kSuccess);
    std::vector<std::vector<unsigned char>> writes = Writes();
    ASSERT_EQ(writes.size(), 2u) << "the second press writes again";
    EXPECT_EQ(writes[0], writes[1]);
}

} // namespace
