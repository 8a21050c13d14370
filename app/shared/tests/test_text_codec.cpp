// The host's texts between UTF-8 files and the module's code page.
#include "OneLine.h"
#include "TextCodec.h"
#include <gtest/gtest.h>

namespace {

using namespace daxohost;

TEST(TextCodec, ConvertsBetweenUtf8AndTheCodePageAndSpellsOutControls)
{
    std::string text;
    ASSERT_TRUE(Utf8ToModuleText("P\xC5\x99ipojte", &text));
    EXPECT_EQ(text, "P\xF8ipojte");
    EXPECT_EQ(ModuleTextToUtf8(text), "P\xC5\x99ipojte");
    EXPECT_FALSE(Utf8ToModuleText("\xFF\xFE", &text));
    EXPECT_TRUE(Utf8ToModuleText("", &text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(opdriver::OneLine("a\r\nb\tc\\d"), "a\\nb\\tc\\\\d");
}

} // namespace
