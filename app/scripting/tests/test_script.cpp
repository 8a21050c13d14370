// The operator's script language: every kind of line, its texts and escapes, the errors it
// names, calls, repeats and pauses.
#include "Script.h"
#include "HostContract.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <string>

namespace {

using namespace daxohost;

std::string Errors(const CScript& script)
{
    std::string all;
    for (const std::string& error : script.Errors())
        all += error + "\n";
    return all;
}

TEST(ScriptLanguage, ReadsEveryKindOfLine)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\n"
                             "type 32771 5\n"
                             "type 32772 \"\"\n"
                             "check 32789 on\n"
                             "select 32773 \"19200\"\n"
                             "spin 32805 -10\n"
                             "wheel 32771 -120\n"
                             "click 32788\n"
                             "msgbox\n"
                             "answer no\n"
                             "close\n"
                             "escape\n"
                             "bench jp1 2 WP\n"
                             "bench next\n"
                             "bench unplug\n"
                             "expect report 113\n"
                             "expect report 117 \"configuration for 712\"\n"
                             "expect result 2\n"))
        << Errors(script);
    const std::vector<ScriptLine>& lines = script.Lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0].op, ScriptOp::WaitDialog);
    EXPECT_EQ(lines[0].id, 32788u);
    EXPECT_EQ(lines[1].op, ScriptOp::Type);
    EXPECT_EQ(lines[1].id, 32771u);
    EXPECT_EQ(lines[1].text, "5");
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].value, 1);
    EXPECT_EQ(lines[4].text, "19200");
    EXPECT_EQ(lines[5].value, -10);
    EXPECT_EQ(lines[6].value, -120);
    EXPECT_EQ(lines[9].value, IDNO);
    EXPECT_EQ(lines[12].op, ScriptOp::BenchJumper);
    EXPECT_EQ(lines[12].id, 2u);
    EXPECT_EQ(lines[12].value, 1);
    EXPECT_FALSE(lines[15].hasText);
    EXPECT_TRUE(lines[16].hasText);
    EXPECT_EQ(lines[16].id, 117u);
    EXPECT_EQ(lines[17].op, ScriptOp::ExpectResult);
    EXPECT_EQ(lines[17].value, 2);
    EXPECT_EQ(lines[17].number, 18);
    EXPECT_EQ(lines[4].source, "select 32773 \"19200\"");
}

TEST(ScriptLanguage, KnowsTheModulesDialogsByTheirOwnControls)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\ndialog config\ndialog 2021\ndialog test\ndialog 2022\ndialog next\n"
                             "dialog 32771\n"))
        << Errors(script);
    const unsigned expected[] = {32788, 32788, 32801, 32801, 32795, 32795, 32771};
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(script.Lines()[i].id, expected[i]) << "line " << i + 1;
}

TEST(ScriptLanguage, TextsHaveEscapesCommentsAndTheAnsiCodePage)
{
    CScript script;
    ASSERT_TRUE(script.Parse("\xEF\xBB\xBF# a comment line\n"
                             "   \n"
                             "msgbox   # a comment after the line\n"
                             "expect msgbox-text \"Line\\nTab\\tQuote\\\" Backslash\\\\ # not a comment\"\n"
                             "expect caption \"\xC5\xBE\xC3\xA1\x64n\xC3\xA1 (NO)\"\r\n"))
        << Errors(script);
    ASSERT_EQ(script.Lines().size(), 3u);
    EXPECT_EQ(script.Lines()[0].number, 3);
    EXPECT_EQ(script.Lines()[1].text, "Line\nTab\tQuote\" Backslash\\ # not a comment");
    EXPECT_EQ(script.Lines()[2].text, "\x9E\xE1\x64n\xE1 (NO)") << "UTF-8 in the file, code page 1250 for the module";
}

TEST(ScriptLanguage, NamesEveryWrongLineAndWhy)
{
    CScript script;
    EXPECT_FALSE(script.Parse("clik 32788\n"                 // 1
                              "dialog 2020\n"                // 2 fine
                              "type 32771 \"5\n"             // 3 unclosed
                              "type 70000 5\n"               // 4 id range
                              "expect text 32771 \"\\x\"\n"  // 5 escape
                              "answer maybe\n"               // 6
                              "click 32788 now\n"            // 7 extra
                              "expect colour 1\n"            // 8
                              "expect caption \"\xC3\x28\"\n"  // 9 not UTF-8
                              "check 32789 yes\n"            // 10
                              "expect result\n"              // 11
                              "expect result 1\n"            // 12 fine, ends the call
                              "click 2\n"));                 // 13: no window named in this call
    const std::vector<std::string>& errors = script.Errors();
    ASSERT_EQ(errors.size(), 11u) << Errors(script);
    const char* starts[] = {"line 1: unknown action 'clik'", "line 3: a text without", "line 4: type: expected a control id",
                            "line 5: unknown escape", "line 6: answer: expected a button", "line 7: click: unexpected 'now'",
                            "line 8: unknown expect 'colour'", "line 9: expect caption: the text is not UTF-8",
                            "line 10: check: expected on or off", "line 11: expect result: expected the value",
                            "line 13: 'click 2' acts on a window"};
    for (size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i].compare(0, std::strlen(starts[i]), starts[i]), 0) << errors[i];
}

TEST(ScriptLanguage, EveryCallStartsWithoutAWindowAndEndsAtItsResult)
{
    CScript script;
    ASSERT_TRUE(script.Parse("dialog 2020\nclick 2\nexpect result 2\n"
                             "dialog 2020\nclick 32788\nexpect report 114\nexpect result 1\n"
                             "bench next\n"))
        << Errors(script);
    std::vector<std::vector<ScriptLine>> calls = script.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].size(), 3u);
    EXPECT_EQ(calls[1].size(), 4u);
    EXPECT_EQ(calls[2].size(), 1u);
    EXPECT_EQ(ScopeOf(calls[1][2].op), LineScope::Anywhere);
    EXPECT_EQ(ScopeOf(calls[1][3].op), LineScope::AfterCall);

    EXPECT_FALSE(script.Parse("dialog 2020\nexpect result 2\nclick 2\n")) << "a window is named per call";
    EXPECT_TRUE(script.Parse(""));
    EXPECT_EQ(script.Calls().size(), 1u);
}

TEST(ScriptLanguage, RepeatsNestedBlocksKeepingTheirLineNumbersAndPauses)
{
    CScript script;
    ASSERT_TRUE(script.Parse("repeat 3\n"           // 1
                             "  dialog 2020\n"      // 2
                             "  repeat 2\n"         // 3
                             "    pause 50\n"       // 4
                             "  end\n"              // 5
                             "  click 32788\n"      // 6
                             "end\n"                // 7
                             "expect result 2\n"))
        << Errors(script);
    const std::vector<ScriptLine>& lines = script.Lines();
    ASSERT_EQ(lines.size(), 3u * 4u + 1u);
    EXPECT_EQ(lines[4].number, 2) << "the second round starts again at line 2";
    EXPECT_EQ(lines[2].op, ScriptOp::Pause);
    EXPECT_EQ(lines[2].value, 50);
    EXPECT_EQ(ScopeOf(ScriptOp::Pause), LineScope::Anywhere);
    EXPECT_EQ(lines.back().number, 8);

    EXPECT_FALSE(script.Parse("repeat 2\ndialog 2020\n"));
    EXPECT_EQ(Errors(script), "line 1: repeat without its end\n");
    EXPECT_FALSE(script.Parse("end\nrepeat 0\nend\npause -1\n"));
    EXPECT_EQ(script.Errors().size(), 4u) << Errors(script) << "the end of a refused repeat has none";
    EXPECT_FALSE(script.Parse("repeat 10000\nrepeat 10000\ndialog 2020\nend\nend\n"))
        << "a script that grows beyond all use is refused, not built";
}

} // namespace
