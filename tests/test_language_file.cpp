// The host's language-file reader: the cursor over a parsed file, the texts it hands out in
// code page 1250, the files it refuses, and the host's language operations around it.
#include "DAXOTester.h"
#include "LanguageFile.h"
#include "TestSupport.h"
#include "XmlInput.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cwchar>
#include <string>
#include <vector>

using daxotest::TempPath;
using daxotest::WriteFileBytes;

namespace {

const char kSample[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- a comment -->\n"
    "<TesterLanguage version=\"2\">\n"
    "  <Message>\n"
    "    <MessageItem ID=\"1\" text=\"one\"/>\n"
    "    <Other ID=\"9\"/>\n"
    "    <MessageItem ID=\"2\" text=\"two\"><Nested ID=\"3\"/></MessageItem>\n"
    "    <MessageItem ID=\"4\"/>\n"
    "  </Message>\n"
    "  <Dialog><DialogItem ID=\"7\" text=\"\"/></Dialog>\n"
    "</TesterLanguage>\n";

std::string WriteTemp(const std::string& name, const std::string& bytes)
{
    std::string path = TempPath(name);
    WriteFileBytes(path, bytes);
    return path;
}

// The reason of a refused file, empty when the file opened.
std::string OpenError(const std::string& bytes)
{
    CLanguageFile file;
    file.SetPath(WriteTemp("bad.xml", bytes).c_str());
    bool opened = file.Open();
    EXPECT_EQ(file.IsOpen(), opened);
    if (!opened) {
        EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 0);
        EXPECT_EQ(file.GetTagName(), nullptr);
    }
    return opened ? "" : file.LastError();
}

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

class LanguageFileCursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        file.SetPath(WriteTemp("sample.xml", kSample).c_str());
        ASSERT_TRUE(file.Open()) << file.LastError();
    }
    CLanguageFile file;
};

TEST_F(LanguageFileCursor, MovesToTopChildAndSiblingOfTheName)
{
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 1);
    EXPECT_STREQ(file.GetTagName(), "TesterLanguage");
    EXPECT_STREQ(file.GetAttribute("version"), "2");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "Message"), 1);
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem"), 1);
    EXPECT_STREQ(file.GetAttribute("text"), "one");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"), 1) << "skips the <Other> between";
    EXPECT_STREQ(file.GetAttribute("ID"), "2");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"), 1);
    EXPECT_STREQ(file.GetAttribute("ID"), "4");
    EXPECT_EQ(file.GetAttribute("text"), nullptr);
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"), 0);

    // A child move looks only one level down, and a sibling move never climbs.
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem"), 0);
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.GetTag(CLanguageFile::MoveFirstChild, "Message");
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "Message"), 0);
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "Message"), 0) << "Message is not a top-level tag";

    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.GetTag(CLanguageFile::MoveFirstChild, "Dialog");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "DialogItem"), 1);
    ASSERT_NE(file.GetAttribute("text"), nullptr);
    EXPECT_STREQ(file.GetAttribute("text"), "") << "an empty attribute is not a missing one";
}

TEST_F(LanguageFileCursor, AFailedMoveLeavesNoTagCurrent)
{
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "Missing"), 0);
    EXPECT_EQ(file.GetTagName(), nullptr);
    EXPECT_EQ(file.GetAttribute("version"), nullptr);
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "Message"), 0) << "nothing to look inside";
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "Message"), 0);

    // Names are exact, and an unknown move or a null name finds nothing.
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "testerlanguage"), 0);
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 1);
    EXPECT_EQ(file.GetTag(0x11, "Message"), 0);
    EXPECT_STREQ(file.GetTagName(), "TesterLanguage") << "an unknown move does not move";
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, nullptr), 0);
    EXPECT_EQ(file.GetAttribute(nullptr), nullptr);
}

// The translator's check looks into each dialog item and goes on from it.
TEST_F(LanguageFileCursor, APlaceLeadsBackToItsTag)
{
    EXPECT_EQ(file.ReturnTo(file.Place()), 0) << "no tag is current yet";
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.GetTag(CLanguageFile::MoveFirstChild, "Message");
    file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"), 1);
    const unsigned long place = file.Place();
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "Nested"), 1);
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveFirstChild, "Nested"), 0);
    ASSERT_EQ(file.ReturnTo(place), 1);
    EXPECT_STREQ(file.GetAttribute("ID"), "2");
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"), 1);
    EXPECT_STREQ(file.GetAttribute("ID"), "4");

    for (unsigned long nowhere : {0ul, 1000ul, ~0ul}) {
        EXPECT_EQ(file.ReturnTo(nowhere), 0) << nowhere;
        EXPECT_EQ(file.GetTagName(), nullptr) << nowhere;
    }
    file.Close();
    EXPECT_EQ(file.ReturnTo(place), 0) << "a closed file has no tags";
}

TEST_F(LanguageFileCursor, CloseAndReopen)
{
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetTagName(), nullptr);
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 0);
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(file.GetTagName(), nullptr) << "a fresh open starts with no tag current";
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 1);
}

std::string Utf8(const std::wstring& wide)
{
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0],
                                                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::string Utf16(const std::wstring& wide)
{
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
}

// Also run under a code page other than 1250 (tests/CMakeLists.txt).
TEST(LanguageFileText, AttributesComeInCodePage1250)
{
    const std::string czech = "\xC4\x8D\xC3\xAD" "ta\xC4\x8D \xE2\x82\xAC";   // "čítač €" in UTF-8
    CLanguageFile file;
    file.SetPath(WriteTemp("utf8.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><T a=\"" + czech +
                                           "\" b=\"&#x65E5;&amp;&lt;&#9;&#10;x\" c=\"&#xFDD0;&#xE80A;\xEF\xB7\x90\"/>").c_str());
    ASSERT_TRUE(file.Open()) << file.LastError();
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "T"), 1);
    EXPECT_STREQ(file.GetAttribute("a"), "\xE8\xEDta\xE8 \x80");
    EXPECT_STREQ(file.GetAttribute("b"), "?&<\t\nx") << "a character outside the code page becomes '?'";
    EXPECT_EQ(std::wstring(file.GetAttributeWide("c")), L"\xFDD0\xE80A\xFDD0") << "what the reader's escapes are made of";

    // The same document in UTF-16 with a byte-order mark reads the same.
    file.SetPath(WriteTemp("utf16.xml", Utf16(L"<T a=\"\x010D\x00EDta\x010D \x20AC\"/>")).c_str());
    ASSERT_TRUE(file.Open()) << file.LastError();
    ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "T"), 1);
    EXPECT_STREQ(file.GetAttribute("a"), "\xE8\xEDta\xE8 \x80");
}

// The reader pulls a file in chunks of some 8 KB. Every text reads back exactly, at any length
// and across every chunk, for characters of each UTF-8 length and in UTF-16: a long text, and
// names of such characters, which end chunks wherever they fall.
TEST(LanguageFileText, EveryTextReadsBackExactlyAcrossChunks)
{
    struct {
        const wchar_t* character;
        const char* in1250;
    } kinds[] = {{L"x", "x"}, {L"\x017E", "\x9E"}, {L"\x20AC", "\x80"}, {L"\xD83D\xDE00", nullptr}};
    for (const auto& kind : kinds)
        for (bool utf16 : {false, true}) {
            std::wstring text, name = L"n";
            for (int i = 0; i < 20000; ++i)
                text += kind.character;
            for (int i = 0; i < 50; ++i)
                name += kind.character;
            const size_t width = std::wcslen(kind.character);
            std::wstring xml = L"<T text=\"" + text + L"\">";
            for (size_t i = 0; i < 300; ++i)
                xml += L"<" + name + L" " + name + L"=\"" + text.substr(0, i % 40 * width) + L"\"/>";
            CLanguageFile file;
            file.SetPath(WriteTemp("long.xml", utf16 ? Utf16(xml + L"</T>") : Utf8(xml + L"</T>")).c_str());
            SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(kind.character[0]) << (utf16 ? " UTF-16" : " UTF-8"));
            ASSERT_TRUE(file.Open()) << file.LastError();
            ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "T"), 1);
            EXPECT_TRUE(file.GetAttributeWide("text") == text);
            if (kind.in1250) {
                EXPECT_TRUE(file.GetAttribute("text") == std::string(20000, kind.in1250[0]));
            }
            std::string name1250(name.size() * 2, '\0');
            name1250.resize(::WideCharToMultiByte(CLanguageFile::kCodePage, 0, name.data(), static_cast<int>(name.size()), &name1250[0],
                                                  static_cast<int>(name1250.size()), nullptr, nullptr));
            size_t items = 0;
            for (int found = file.GetTag(CLanguageFile::MoveFirstChild, name1250.c_str()); found;
                 found = file.GetTag(CLanguageFile::MoveNextSibling, name1250.c_str()), ++items) {
                const wchar_t* value = file.GetAttributeWide(name1250.c_str());
                ASSERT_TRUE(value && value == text.substr(0, items % 40 * width)) << "item " << items;
            }
            EXPECT_EQ(items, 300u);
        }
}

// The system's reader asks for its chunks of 8 KB less 4 bytes, and the stream ends none inside
// a reference: the reader has page-faulted on a chunk that ended right after "&", though under
// one code page only, and this Wine's copes. References of each kind, one after another, so that
// the end of the first chunk falls at every byte of one: the chunk ends before it, and each
// reads back exactly.
TEST(LanguageFileText, AReferenceAtTheEndOfAChunkReadsBackExactly)
{
    const ULONG kReaderChunk = 8188;
    const std::string bom = "\xEF\xBB\xBF", start = "<T a=\"";   // the shaped file begins with the mark
    const struct {
        const char* written;
        const wchar_t* value;
    } references[] = {{"&#x17E;", L"\x17E"}, {"&amp;", L"&"}, {"&#x1F600;", L"\xD83D\xDE00"}, {"&#10;", L"\n"}};
    for (const auto& reference : references)
        for (size_t before = 0; before < 24; ++before) {
            const size_t filler = kReaderChunk - bom.size() - start.size() - before;
            std::string written = start + std::string(filler, 'x');
            std::wstring value(filler, L'x');
            for (int i = 0; i < 8; ++i) {
                written += reference.written;
                value += reference.value;
            }
            written += std::string(100, 'y') + "\"/>";
            const std::string shaped = bom + written + "\n";
            xmlinput::ChunkStream stream(shaped);
            std::string chunk(kReaderChunk, '\0');
            ULONG given = 0;
            stream.Read(&chunk[0], kReaderChunk, &given);
            chunk.resize(given);
            const size_t ampersand = chunk.rfind('&');
            EXPECT_TRUE(given > 0 && (ampersand == std::string::npos || chunk.find(';', ampersand) != std::string::npos))
                << reference.written << " " << before << ": the chunk ends in "
                << chunk.substr(chunk.size() < 8 ? 0 : chunk.size() - 8);

            CLanguageFile file;
            file.SetPath(WriteTemp("boundary.xml", written).c_str());
            ASSERT_TRUE(file.Open()) << reference.written << " " << before << ": " << file.LastError();
            ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "T"), 1);
            EXPECT_TRUE(file.GetAttributeWide("a") == value + std::wstring(100, L'y')) << reference.written << " " << before;
        }
}

// Random files of values with every kind of character, written and referenced in every way,
// two to a tag, among text, comments, CDATA and instructions: each opens, and every value
// reads back exactly.
TEST(LanguageFileText, RandomValuesReadBackExactly)
{
    const struct {
        const char* written;
        const wchar_t* value;
    } pieces[] = {{"a", L"a"}, {"\t", L" "}, {"\r\n", L" "}, {"&#10;", L"\n"}, {"&#9;", L"\t"}, {"\xC5\xBE", L"\x17E"},
                  {"\xE2\x82\xAC", L"\x20AC"}, {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"}, {"&#x1F600;", L"\xD83D\xDE00"},
                  {"&#xFDD0;", L"\xFDD0"}, {"\xEE\xA0\x8A", L"\xE80A"}, {"&lt;", L"<"}, {"&amp;#10;", L"&#10;"}};
    const char* between[] = {"text \xC5\xBE", "<!-- \xC5\xBE -->", "<?pi \xF0\x9F\x98\x80?>", "<![CDATA[<x>&]]>", "\n", "&#x1F600;"};
    unsigned seed = 1;
    auto random = [&seed](unsigned n) { return ((seed = seed * 1103515245u + 12345u) >> 8) % n; };
    for (int round = 0; round < 1500; ++round) {
        std::string xml = "<\xC5\xBET>";
        std::vector<std::wstring> values(random(6));
        for (std::wstring& value : values) {
            std::string written;
            for (unsigned n = random(4) == 0 ? random(3000) : random(20); n-- > 0;) {
                const auto& piece = pieces[random(sizeof pieces / sizeof pieces[0])];
                written += piece.written;
                value += piece.value;
            }
            xml += std::string(between[random(6)]) + "<I\xC5\xBE u='" + written + "' t=\"" + written + "\"/>";
        }
        CLanguageFile file;
        file.SetPath(WriteTemp("random.xml", xml + "</\xC5\xBET>").c_str());
        ASSERT_TRUE(file.Open()) << "round " << round << ": " << file.LastError();
        ASSERT_EQ(file.GetTag(CLanguageFile::MoveTop, "\x9ET"), 1);
        size_t i = 0;
        for (int found = file.GetTag(CLanguageFile::MoveFirstChild, "I\x9E"); found;
             found = file.GetTag(CLanguageFile::MoveNextSibling, "I\x9E"), ++i)
            ASSERT_TRUE(i < values.size() && file.GetAttributeWide("t") == values[i]) << "round " << round << " item " << i;
        EXPECT_EQ(i, values.size());
    }
}

TEST(LanguageFileRefused, MissingEmptyAndNoFileSet)
{
    CLanguageFile file;
    EXPECT_FALSE(file.Open());
    EXPECT_STREQ(file.LastError(), "no language file is set");
    file.SetPath(TempPath("nowhere.xml").c_str());
    EXPECT_FALSE(file.Open());
    EXPECT_STREQ(file.LastError(), "the file does not exist");
    file.SetPath((TempPath("no-folder") + "\\x.xml").c_str());
    EXPECT_FALSE(file.Open());
    EXPECT_STREQ(file.LastError(), "the file does not exist");
    EXPECT_EQ(OpenError(""), "the file is empty");
}

TEST(LanguageFileRefused, TextThatIsNotWellFormedXml)
{
    std::string full = kSample;
    const char* broken[] = {
        "just some text\n",
        "<TesterLanguage><Message></TesterLanguage>",
        "<a/><b/>",
        "<!DOCTYPE a [<!ENTITY x \"xxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;&x;&x;&x;&x;\">]><a t=\"&y;\"/>",
    };
    for (const char* bytes : broken)
        EXPECT_NE(OpenError(bytes), "") << bytes;
    EXPECT_NE(OpenError(std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)), "");
    EXPECT_NE(OpenError("<?xml version=\"1.0\"?>\n<!-- only a comment -->\n"), "");

    // Cut anywhere, inside a tag, a text or a comment, the file is refused with a reason.
    for (size_t length = 1; length + 1 < full.size(); ++length)
        EXPECT_NE(OpenError(full.substr(0, length)), "") << "cut after " << length;
    EXPECT_EQ(OpenError(full), "");
    const std::string rich = "\xEF\xBB\xBF<?xml version=\"1.0\"?><?pi x?><a t=\"&amp;&#10;\xC4\x8D\"><![CDATA[<x>]]>&lt;</a>";
    for (size_t length = 1; length + 1 < rich.size(); ++length)
        EXPECT_NE(OpenError(rich.substr(0, length)), "") << "cut after " << length;
    EXPECT_EQ(OpenError(rich), "");
    const char* cut[] = {"<a><!-- x -", "<a><![CDATA[ x", "<a><?pi x", "<a>&#10", "<a>x]]", "<a>text"};
    for (const char* bytes : cut)
        EXPECT_NE(OpenError(bytes), "") << bytes;
}

// Random pieces of XML, glued together: every file opens or is refused, none hangs or ends
// the process.
TEST(LanguageFileRefused, RandomPiecesOfXml)
{
    const char* pieces[] = {"<a", "<b ", ">", "/>", "</a>", "</b>", "<!--", "-->", "<?", "?>", "<![CDATA[", "]]>", "\"",
                            "=", "t", " ", "\n", "&#10;", "&#x9;", "&amp;", "&", "<?xml version=\"1.0\"?>",
                            "\xC4\x8D", "\xEF\xBB\xBF", "\xC4", "<!DOCTYPE a>", "x=\"1\""};
    unsigned int seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        int count = 1 + round % 40;
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            bytes += pieces[(seed >> 16) % (sizeof pieces / sizeof pieces[0])];
        }
        OpenError(bytes);
    }
}

TEST(LanguageFileRefused, DeepNestingIsBoundedWithoutRecursion)
{
    EXPECT_EQ(OpenError(Nested(CLanguageFile::kMaxDepth)), "");
    EXPECT_EQ(OpenError(Nested(CLanguageFile::kMaxDepth + 1)), "the tags are nested deeper than 256 levels");
    EXPECT_EQ(OpenError(Nested(100000)), "the tags are nested deeper than 256 levels");
    std::string unclosed(300000, ' ');
    for (size_t i = 0; i + 3 <= unclosed.size(); i += 3)
        unclosed.replace(i, 3, "<a>");
    EXPECT_NE(OpenError(unclosed), "");
}

TEST(LanguageFileRefused, SizeIsBoundedButMegabytesAreRead)
{
    // A few megabytes of items open and every item is reachable.
    std::string big = "<TesterLanguage><Message>";
    const int items = 60000;
    for (int i = 0; i < items; ++i)
        big += "<MessageItem ID=\"" + std::to_string(i) + "\" text=\"" + std::string(40, 'x') + "\"/>";
    big += "</Message></TesterLanguage>";
    ASSERT_GT(big.size(), 4u * 1024 * 1024);
    CLanguageFile file;
    file.SetPath(WriteTemp("big.xml", big).c_str());
    ASSERT_TRUE(file.Open()) << file.LastError();
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.GetTag(CLanguageFile::MoveFirstChild, "Message");
    int count = 0;
    for (int found = file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem"); found;
         found = file.GetTag(CLanguageFile::MoveNextSibling, "MessageItem"))
        ++count;
    EXPECT_EQ(count, items);
    file.Close();

    // Beyond the limit the file is not even read.
    std::string huge = "<a t=\"" + std::string(CLanguageFile::kMaxFileSize, 'x') + "\"/>";
    EXPECT_EQ(OpenError(huge), "the file is larger than 16 MB");
}

// Wine's reader page-faults on a comment this large and fails an assertion on anything
// large before the first tag; both would end the host, so neither may reach it.
std::string LargeComment(size_t size)
{
    std::string comment = "<!--";
    for (size_t i = 0; i < size; ++i)
        comment += i % 80 == 79 ? '\n' : 'x';
    return comment + "-->";
}

std::string ItemAfter(CLanguageFile& file)
{
    file.GetTag(CLanguageFile::MoveTop, "TesterLanguage");
    file.GetTag(CLanguageFile::MoveFirstChild, "Message");
    file.GetTag(CLanguageFile::MoveFirstChild, "MessageItem");
    const char* text = file.GetAttribute("text");
    return text ? text : "(none)";
}

TEST(LanguageFileReaderLimits, A600KBCommentInsideTheRootIsRead)
{
    CLanguageFile file;
    file.SetPath(WriteTemp("comment-inside.xml", "<?xml version=\"1.0\"?>\n<TesterLanguage><Message>" + LargeComment(600 * 1024) +
                                                     "<MessageItem ID=\"1\" text=\"after\"/></Message></TesterLanguage>\n")
                     .c_str());
    ASSERT_TRUE(file.Open()) << file.LastError();
    EXPECT_EQ(ItemAfter(file), "after");
}

TEST(LanguageFileReaderLimits, A30KBCommentBeforeTheRootIsRead)
{
    const std::string before[] = {LargeComment(30 * 1024), "<?pi " + std::string(30 * 1024, 'x') + "?>",
                                  std::string(30 * 1024, ' '), std::string(30 * 1024, '\n')};
    for (const std::string& prolog : before) {
        CLanguageFile file;
        file.SetPath(WriteTemp("comment-before.xml", "<?xml version=\"1.0\"?>\n" + prolog +
                                                         "\n<TesterLanguage><Message><MessageItem ID=\"1\" text=\"after\"/>"
                                                         "</Message></TesterLanguage>\n")
                         .c_str());
        ASSERT_TRUE(file.Open()) << file.LastError();
        EXPECT_EQ(ItemAfter(file), "after");
    }
}

// Whatever a conforming XML parser refuses is refused, at the line and column of the fault
// itself, counted in characters; what is kept from the reader still counts. So is what a
// language file's own rules forbid, under a reason of its own.
TEST(LanguageFileRefused, EachFaultAtItsOwnLineAndColumn)
{
    const std::string comment = "<!-- one\r\ntwo\rthree\n-->", declaration = "<?xml version=\"1.0\"?>\n";
    const struct {
        std::string bytes;
        const char* where;
    } faults[] = {
        {"<a t=\"\xC5\xBE\x01\"/>", "1, column 8: the character U+0001, which XML does not allow"},
        {"<a>\n  \x08</a>", "2, column 3: the character U+0008, which XML does not allow"},
        {"<!-- \x0B -->\n<a/>", "1, column 6: the character U+000B, which XML does not allow"},
        {"<a/>\n\x0C", "2, column 1: the character U+000C, which XML does not allow"},
        {"<a\x1F/>", "1, column 3: the character U+001F, which XML does not allow"},
        {std::string("<a><!-- \0 --></a>", 17), "1, column 9: the character U+0000, which XML does not allow"},
        {"<a t=\"\xC3\"/>", "1, column 7: bytes that are not UTF-8"},
        {Utf16(L"<a>\n<b t=\"\xD800\"/></a>"), "2, column 7: a lone half of a UTF-16 character"},
        {"<a b=\"1\"\n   b='2'/>", "2, column 4: the attribute b is given twice"},
        {"<a b=\"1\"c=\"2\"/>", "1, column 9: an attribute that no white space parts from the one before"},
        {Utf16(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"), "1, column 31: the declared encoding is UTF-8, but the file is in UTF-16"},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-16\"?><a/>", "1, column 31: the declared encoding is UTF-16, but the file is not"},
        {"<?xml version=\"2.0\"?>\n\n\n<a/>", "1, column 16: an XML version other than 1.x"},
        {"<?xml version=\"1.0\"\n<a/>", "2, column 1: the XML declaration is not closed"},
        {" <?xml version=\"1.0\"?><a/>", "1, column 2: an XML declaration that is not at the very start of the file"},
        {"<a/>\n<b/>", "2, column 1: content after the end of the root tag <a>"},
        {"<a></a>\n<!-- x -->x", "2, column 11: content after the end of the root tag <a>"},
        {"<a>\n<b>\n", "2, column 1: the tag <b> is not closed"},
        {"<a>\n  <!-- x", "2, column 3: a comment is not closed"},
        {"<a t=\"x", "1, column 6: an attribute value is not closed"},
        {"<a", "1, column 1: a tag is not closed"},
        {"<a>&#10", "1, column 4: a character reference that is not \"&#digits;\" or \"&#xhex;\""},
        {declaration + comment + "\n<a>\n" + comment + "\n<b></a>\n", "11, column 4: the end tag </a> does not close <b>"},
        {"<a>\n<!-- a -- b -->\n</a>", "2, column 8: \"--\" inside a comment"},
        {declaration + "<!-- x -->\nabc<a/>", "3, column 1: text before the first tag"},
        {"<![CDATA[x]]><a/>", "1, column 1: markup that may not stand before the root tag"},
        {"<a>&undefined;</a>", "1, column 4: the entity &undefined; is not defined"},
        {"<a t=\"&#0;\"/>", "1, column 7: a reference to a character that XML does not allow"},
        {"<a t=\"&#xFFFFFFFFF;\"/>", "1, column 7: a reference to a character that XML does not allow"},
        {"<a t=\"<\"/>", "1, column 7: \"<\" in an attribute value"},
        {"<a>]]></a>", "1, column 4: \"]]>\" in text"},
        {"<Message>\n  </Messag>", "2, column 3: the end tag </Messag> does not close <Message>"},
        {"<Message>\n  </Messages>", "2, column 3: the end tag </Messages> does not close <Message>"},
        {"<a/>\n<!DOCTYPE a>", "2, column 1: content after the end of the root tag <a>"},
    };
    for (const auto& fault : faults)
        EXPECT_EQ(OpenError(fault.bytes), std::string("the file is not well-formed XML (line ") + fault.where + ")") << fault.bytes;

    // Well-formed XML that a language file still may not be names the rule it breaks.
    std::string dialogItems = "<Dialog>\n";
    for (unsigned long i = 0; i < CLanguageFile::kMaxDialogItems; ++i)
        dialogItems += "<DialogItem/>";
    const struct {
        std::string bytes;
        const char* where;
    } refusals[] = {
        {"<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<a/>", "1, column 31: the encoding \"windows-1250\"; a language file is in UTF-8 or UTF-16"},
        {declaration + "<!DOCTYPE a [" + std::string(30 * 1024, ' ') + "]><a/>", "2, column 1: a document type definition, which a language file may not have"},
        {"<p:a/>", "1, column 2: the name p:a has a namespace prefix, which a language file does not use"},
        {"<" + std::string(1001, 'a') + "/>", "1, column 2: a name longer than 1000 characters"},
        {"<a xmlns:p=\"x\" xml:lang=\"cs\">\n<?p:i x?></a>", "2, column 3: the name p:i has a namespace prefix, which a language file does not use"},
        {dialogItems + "\n  <DialogItem></DialogItem></Dialog>", "3, column 3: more than 10000 DialogItem tags"},
    };
    for (const auto& refusal : refusals)
        EXPECT_EQ(OpenError(refusal.bytes), std::string("the file breaks a rule of language files (line ") + refusal.where + ")")
            << refusal.bytes.substr(0, 80);
    EXPECT_EQ(OpenError(dialogItems + "<dialogItem/><Dialogitem/></Dialog>"), "") << "the limit counts DialogItem only";
    EXPECT_EQ(OpenError(declaration + "<!-- only a comment -->\n"), "the file holds no tag");
    EXPECT_EQ(OpenError("<a t=\"-->\"><![CDATA[<!--]]><?pi <!-- ?></a>"), "") << "no comment in any of these";
    EXPECT_EQ(OpenError("\r\n  <a/>"), "") << "white space before the first tag of a file without declaration";
}

TEST(LanguageFileRefused, AFailedOpenForgetsThePreviousFile)
{
    CLanguageFile file;
    file.SetPath(WriteTemp("good.xml", kSample).c_str());
    ASSERT_TRUE(file.Open());
    WriteFileBytes(file.Path(), "<broken");
    EXPECT_FALSE(file.Open());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetTag(CLanguageFile::MoveTop, "TesterLanguage"), 0);
}

// The host's operations around the reader.
class HostLanguage : public ::testing::Test {
protected:
    CDAXOTester tester{nullptr};
};

TEST_F(HostLanguage, CursorAnswersNothingWhileNoFileIsOpen)
{
    EXPECT_EQ(tester.LanguageFileGetTag(1, "TesterLanguage"), 0);
    EXPECT_EQ(tester.LanguageFileGetCurrentTagAttribute("ID"), nullptr);
    EXPECT_EQ(tester.LanguageFileGetCurrentTagName(), nullptr);
    EXPECT_STREQ(tester.GetMessageA(1), "host message 1");
    EXPECT_STREQ(tester.GetDialogName(7), "host dialog 7");
    EXPECT_STREQ(tester.GetDialogControlName(7, 1), "host control 7/1");

    ASSERT_EQ(tester.SetLanguageFile(WriteTemp("sample.xml", kSample).c_str()), 1);
    EXPECT_EQ(tester.LanguageFileGetTag(1, "TesterLanguage"), 0) << "set is not opened";
    ASSERT_EQ(tester.LanguageFileOpen(), 1);
    EXPECT_EQ(tester.LanguageFileGetTag(1, "TesterLanguage"), 1);
    EXPECT_STREQ(tester.LanguageFileGetCurrentTagName(), "TesterLanguage");
    EXPECT_EQ(tester.LanguageFileClose(), 1);
    EXPECT_EQ(tester.LanguageFileGetTag(1, "TesterLanguage"), 0);
    EXPECT_EQ(tester.SetLanguageFile(nullptr), 0);
    EXPECT_EQ(tester.LanguageFileOpen(), 0);
}

TEST_F(HostLanguage, ARefusedFileIsReportedOnTheDebugOutput)
{
    daxotest::DebugCapture debug;
    std::string path = WriteTemp("empty.xml", "");
    tester.SetLanguageFile(path.c_str());
    EXPECT_EQ(tester.LanguageFileOpen(), 0);
    EXPECT_TRUE(debug.Contains("language file \"" + path + "\": the file is empty\n"));
}

// The host application shows the reason; it finds it by name, past the virtual operations.
TEST_F(HostLanguage, TheReasonOfTheLastOpenIsKeptForTheHost)
{
    auto reason = daxotest::Export<const char* (*)(void*)>(::GetModuleHandleA("daxotester.test"),
                                                            "DaxoTesterLanguageFileError");
    ASSERT_NE(reason, nullptr);
    tester.SetLanguageFile(WriteTemp("broken.xml", "<?xml version=\"1.0\"?>\n\n<a>\n<!-- x").c_str());
    EXPECT_EQ(tester.LanguageFileOpen(), 0);
    tester.SetLanguageFile("");
    tester.LanguageFileClose();
    const std::string why = "the file is not well-formed XML (line 4, column 1: a comment is not closed)";
    EXPECT_EQ(tester.LanguageFileError(), why) << "kept until the next open";
    EXPECT_EQ(reason(&tester), why);
    tester.SetLanguageFile(WriteTemp("sample.xml", kSample).c_str());
    ASSERT_EQ(tester.LanguageFileOpen(), 1);
    EXPECT_STREQ(reason(&tester), "");
    CTest other;
    EXPECT_EQ(reason(&other), nullptr) << "no tester of this library";
}

TEST_F(HostLanguage, HostTextsComeFromTheSameFile)
{
    tester.SetLanguageFile(WriteTemp("sample.xml", kSample).c_str());
    ASSERT_EQ(tester.LanguageFileOpen(), 1);
    EXPECT_STREQ(tester.GetMessageA(1), "one");
    EXPECT_STREQ(tester.GetMessageA(2), "two");
    EXPECT_STREQ(tester.GetMessageA(4), "") << "an item without text";
    EXPECT_STREQ(tester.GetMessageA(3), "host message 3") << "no such item";
    EXPECT_STREQ(tester.GetDialogName(7), "");
    EXPECT_STREQ(tester.GetDialogControlName(7, 1), "host control 7/1");
}

TEST_F(HostLanguage, OneFilePerLanguageInTheFolder)
{
    std::string folder = TempPath("languages");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const char* files[] = {"en.xml", "CS.xml", "de.xml", "readme.txt", "old.xml.bak"};
    for (const char* name : files)
        WriteFileBytes(folder + "\\" + name, std::string("<TesterLanguage><Message><MessageItem ID=\"1\" text=\"") +
                                                 name + "\"/></Message></TesterLanguage>");
    WriteFileBytes(folder + "\\xx.xml", "not xml");
    ::CreateDirectoryA((folder + "\\dir.xml").c_str(), nullptr);
    daxotest::ScopedEnv env("DAXO_LANG_DIR", folder.c_str());

    std::vector<std::string> codes;
    unsigned int id = 0;
    for (int more = tester.GetFirstLanguage(&id); more; more = tester.GetNextLanguage(&id)) {
        ASSERT_EQ(id, codes.size() + 1);
        codes.push_back(tester.GetLanguageValue(id));
        EXPECT_EQ(std::string(tester.GetLanguageFileName(id)), folder + "\\" + codes.back() + ".xml");
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"CS", "de", "en", "xx"}));
    EXPECT_EQ(tester.GetNextLanguage(&id), 0);
    EXPECT_EQ(tester.GetFirstLanguage(nullptr), 0);
    EXPECT_EQ(tester.GetLanguageValue(0), nullptr);
    EXPECT_EQ(tester.GetLanguageFileName(5), nullptr);

    EXPECT_EQ(tester.GetCurrentLanguageID(), 0u);
    ASSERT_EQ(tester.SetLanguage("EN"), 1);
    EXPECT_EQ(tester.GetCurrentLanguageID(), 3u);
    EXPECT_STREQ(tester.GetMessageA(1), "en.xml");
    ASSERT_EQ(tester.SetCurrentLanguage(2), 1);
    EXPECT_STREQ(tester.GetMessageA(1), "de.xml");
    EXPECT_EQ(tester.SetCurrentLanguage(4), 0) << "xx.xml is not XML";
    EXPECT_STREQ(tester.GetMessageA(1), "host message 1");
    EXPECT_EQ(tester.SetCurrentLanguage(9), 0);
    EXPECT_EQ(tester.SetLanguage("fr"), 0);
    EXPECT_EQ(tester.SetLanguage(nullptr), 0);

    // The start-up choice: the user's language (Czech under the tests' locale), else English.
    char user[16] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, user, sizeof user);
    ASSERT_EQ(tester.InitLanguage(), 1);
    EXPECT_STREQ(tester.GetMessageA(1), std::string(user) == "cs" ? "CS.xml" : "en.xml");
    ::DeleteFileA((folder + "\\CS.xml").c_str());
    ASSERT_EQ(tester.InitLanguage(), 1);
    EXPECT_STREQ(tester.GetMessageA(1), "en.xml");
    EXPECT_EQ(tester.GetCurrentLanguageID(), 2u);

    tester.SetLanguageFile(WriteTemp("sample.xml", kSample).c_str());
    EXPECT_EQ(tester.GetCurrentLanguageID(), 0u) << "a file of its own is no listed language";
}

// A language is known by its file's name, however long: the current one keeps its id when the
// folder is read again.
TEST_F(HostLanguage, TheCurrentLanguageKeepsItsIdWhateverTheLengthOfItsCode)
{
    std::string folder = TempPath("long-codes");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (size_t length : {63u, 64u, 65u, 200u}) {
        const std::string code(length, 'q');
        WriteFileBytes(folder + "\\" + code + ".xml", "<TesterLanguage><Message><MessageItem ID=\"1\" text=\"" +
                                                          std::to_string(length) + "\"/></Message></TesterLanguage>");
    }
    WriteFileBytes(folder + "\\a.xml", "<TesterLanguage/>");
    daxotest::ScopedEnv env("DAXO_LANG_DIR", folder.c_str());
    unsigned int id = 0;
    ASSERT_EQ(tester.GetFirstLanguage(&id), 1);
    for (unsigned int chosen = 2; chosen <= 5; ++chosen) {
        ASSERT_EQ(tester.SetCurrentLanguage(chosen), 1);
        const std::string code = tester.GetLanguageValue(chosen);
        ASSERT_EQ(tester.GetFirstLanguage(&id), 1);   // the folder is read again
        EXPECT_EQ(tester.GetCurrentLanguageID(), chosen) << code.size() << " characters";
    }
}

TEST_F(HostLanguage, TheShippedLanguagesOpen)
{
    daxotest::ScopedEnv env("DAXO_LANG_DIR", (daxotest::SourceFolder() + "/lang").c_str());
    std::vector<std::string> codes;
    unsigned int id = 0;
    for (int more = tester.GetFirstLanguage(&id); more; more = tester.GetNextLanguage(&id)) {
        codes.push_back(tester.GetLanguageValue(id));
        EXPECT_EQ(tester.SetCurrentLanguage(id), 1) << codes.back();
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"cs", "en"}));

    daxotest::ScopedEnv none("DAXO_LANG_DIR", (daxotest::TempPath("empty-folder")).c_str());
    EXPECT_EQ(tester.InitLanguage(), 0);
    EXPECT_EQ(tester.GetFirstLanguage(&id), 0);
}

} // namespace
