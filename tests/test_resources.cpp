// The library's dialog templates and the jumper bitmap as the dialogs load them: every control
// of the three templates, read back from the built TestDAXO01.dll, and the templates turned
// into real windows.
//
// Ids are written as numbers on purpose: they are the keys of the host's language file, so a
// renumbering in resource.h must show up here as a failure.
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// What the templates must hold. Texts are code page 1250 bytes.

struct ExpectedControl {
    unsigned id;
    const char* cls;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
};

struct ExpectedDialog {
    unsigned id;
    short x, y, cx, cy;
    const char* caption;
    std::vector<ExpectedControl> controls;
};

const DWORD kDialogStyle = 0x10C808C0;
const char kFace[] = "MS Sans Serif";
const WORD kPointSize = 8;

const char kSpin[] = "msctls_updown32";

ExpectedDialog ConfigDialog()
{
    return {2020, 22, 17, 400, 215, "Konfigurace \xE8\xEDta\xE8\x65",
            {
                {32787, "Static", 0x5082000E, 5, 5, 180, 180, ""},
                {32815, "Static", 0x50020202, 240, 5, 80, 10, "Adresa:"},
                {32771, "Edit", 0x50812080, 325, 4, 70, 12, ""},
                {32816, "Static", 0x50020202, 240, 20, 80, 10, "Prodleva odpov\xEC\x64i [ms]:"},
                {32772, "Edit", 0x50812080, 325, 19, 17, 12, ""},
                {32786, "Button", 0x50018003, 344, 20, 513, 10, "neodpov\xED\x64\x61t"},
                {32817, "Static", 0x50020202, 230, 35, 90, 10, "Komunika\xE8n\xED rychlost [Bd]:"},
                {32773, "ComboBox", 0x50000003, 325, 34, 70, 112, ""},
                {32818, "Static", 0x50020202, 240, 50, 80, 10, "Parita:"},
                {32774, "ComboBox", 0x50000003, 325, 49, 70, 112, ""},
                {32830, "Button", 0x50018203, 225, 65, 95, 10, "Komunika\xE8n\xED timeout [ms]:"},
                {32831, "Edit", 0x50812080, 325, 64, 70, 12, ""},
                {32819, "Static", 0x50020202, 240, 80, 80, 10, "Kvadraturn\xED vstup:"},
                {32776, "Button", 0x50018003, 325, 80, 35, 10, "I0 a I1"},
                {32777, "Button", 0x50018003, 362, 80, 35, 10, "I2 a I3"},
                {32820, "Static", 0x50020202, 220, 95, 100, 10, "Proud aktivn\xEDho vstupu I0 a I1:"},
                {32790, "ComboBox", 0x50000003, 325, 94, 70, 112, ""},
                {32821, "Static", 0x50020202, 220, 110, 100, 10, "Proud aktivn\xEDho vstupu I2 a I3:"},
                {32791, "ComboBox", 0x50000003, 325, 109, 70, 112, ""},
                {32822, "Static", 0x50020201, 325, 125, 32, 9, "minim\xE1ln\xED"},
                {32823, "Static", 0x50020201, 363, 125, 32, 9, "maxim\xE1ln\xED"},
                {32824, "Static", 0x50020202, 220, 135, 100, 10, "I0 - doba mezi pulsy [ms]:"},
                {32778, "Edit", 0x50810880, 325, 134, 22, 12, ""},
                {32805, kSpin, 0x500000A6, 347, 134, 10, 12, "Spin1"},
                {32782, "Edit", 0x50810880, 363, 134, 22, 12, ""},
                {32809, kSpin, 0x500000A6, 385, 134, 10, 12, "Spin1"},
                {32825, "Static", 0x50020202, 220, 150, 100, 10, "I1 - doba mezi pulsy [ms]:"},
                {32779, "Edit", 0x50810880, 325, 149, 22, 12, ""},
                {32806, kSpin, 0x500000A6, 347, 149, 10, 12, "Spin1"},
                {32783, "Edit", 0x50810880, 363, 149, 22, 12, ""},
                {32810, kSpin, 0x500000A6, 385, 149, 10, 12, "Spin1"},
                {32826, "Static", 0x50020202, 220, 165, 100, 10, "I2 - doba mezi pulsy [ms]:"},
                {32780, "Edit", 0x50810880, 325, 164, 22, 12, ""},
                {32807, kSpin, 0x500000A6, 347, 164, 10, 12, "Spin1"},
                {32784, "Edit", 0x50810880, 363, 164, 22, 12, ""},
                {32811, kSpin, 0x500000A6, 385, 164, 10, 12, "Spin1"},
                {32827, "Static", 0x50020202, 220, 180, 100, 10, "I3 - doba mezi pulsy [ms]:"},
                {32781, "Edit", 0x50810880, 325, 179, 22, 12, ""},
                {32808, kSpin, 0x500000A6, 347, 179, 10, 12, "Spin1"},
                {32785, "Edit", 0x50810880, 363, 179, 22, 12, ""},
                {32812, kSpin, 0x500000A6, 385, 179, 10, 12, "Spin1"},
                {32789, "Button", 0x5001A003, 75, 193, 110, 10, "konfigurovat s\xE9rii jednotek"},
                {32788, "Button", 0x50018000, 225, 195, 75, 15, "Zapsat a otestovat"},
                {2, "Button", 0x50018000, 305, 195, 75, 15, "Storno"},
            }};
}

ExpectedDialog TestConfigDialog()
{
    return {2021, 22, 17, 260, 100, "Test konfigurace \xE8\xEDta\xE8\x65",
            {
                {32801, "Static", 0x50020001, 5, 39, 250, 40,
                 "Test pr\xE1v\xEC prob\xEDh\xE1 a pokud prob\xEChne \xFAsp\xEC\x9An\xEC dialog se s\xE1m "
                 "uzav\xF8\x65.\n\nTest by nem\xECl trvat d\xE9le ne\x9E 10s."},
                {2, "Button", 0x50018000, 80, 80, 100, 15, "Zp\xECt ke konfiguraci modulu"},
            }};
}

ExpectedDialog ConfirmDialog()
{
    return {2022, 22, 17, 205, 60, "Konfigurace dal\x9A\xED jednotky ...",
            {
                {1, "Button", 0x50018000, 60, 40, 40, 15, "OK"},
                {2, "Button", 0x50018000, 105, 40, 40, 15, "Storno"},
            }};
}

std::vector<ExpectedDialog> AllDialogs()
{
    return {ConfigDialog(), TestConfigDialog(), ConfirmDialog()};
}

// ---------------------------------------------------------------------------------------------
// A template as it is stored: DLGTEMPLATE or DLGTEMPLATEEX, read with every field checked
// against the end of the resource.

std::string ToCp1250(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int size = ::WideCharToMultiByte(1250, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(1250, 0, wide.data(), static_cast<int>(wide.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// A name field: empty, an ordinal, or a zero-terminated UTF-16 string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string text;  // code page 1250
};

class TemplateReader {
public:
    TemplateReader(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    size_t Position() const { return m_pos; }

    WORD Word() { return static_cast<WORD>(Bytes(2)); }
    DWORD Dword() { return static_cast<DWORD>(Bytes(4)); }
    short Short() { return static_cast<short>(Word()); }
    unsigned char Byte() { return static_cast<unsigned char>(Bytes(1)); }

    NameOrOrdinal Name()
    {
        NameOrOrdinal name;
        WORD first = Word();
        if (first == 0xFFFF) {
            name.isOrdinal = true;
            name.ordinal = Word();
            return name;
        }
        std::wstring wide;
        for (WORD c = first; m_ok && c != 0; c = Word())
            wide.push_back(static_cast<wchar_t>(c));
        name.text = ToCp1250(wide);
        return name;
    }

    void Skip(size_t count)
    {
        if (!m_ok || count > m_size - m_pos) {
            m_ok = false;
            return;
        }
        m_pos += count;
    }

    void AlignDword() { Skip((4 - m_pos % 4) % 4); }

private:
    uint32_t Bytes(size_t count)
    {
        if (!m_ok || count > m_size - m_pos) {
            m_ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < count; ++i)
            value |= static_cast<uint32_t>(m_data[m_pos + i]) << (8 * i);
        m_pos += count;
        return value;
    }

    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

struct ParsedControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal cls;
    NameOrOrdinal text;
    WORD extraBytes = 0;
};

struct ParsedDialog {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal cls;
    NameOrOrdinal caption;
    WORD pointSize = 0;
    std::string face;
    std::vector<ParsedControl> controls;
};

// Answers false (with the reason in `error`) for a template that runs past its end.
bool ParseTemplate(const unsigned char* data, size_t size, ParsedDialog& dialog, std::string& error)
{
    TemplateReader in(data, size);
    WORD version = in.Word();
    WORD signature = in.Word();
    dialog.extended = version == 1 && signature == 0xFFFF;
    if (dialog.extended) {
        in.Dword();  // help id
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        dialog.style = static_cast<DWORD>(version) | (static_cast<DWORD>(signature) << 16);
        dialog.exStyle = in.Dword();
    }
    WORD count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.Name();
    dialog.cls = in.Name();
    dialog.caption = in.Name();
    if (dialog.style & DS_SETFONT) {  // also part of DS_SHELLFONT
        dialog.pointSize = in.Word();
        if (dialog.extended) {
            in.Word();  // weight
            in.Byte();  // italic
            in.Byte();  // character set
        }
        dialog.face = in.Name().text;
    }
    if (!in.Ok()) {
        error = "the dialog header runs past the end of the resource";
        return false;
    }
    for (WORD i = 0; i < count; ++i) {
        ParsedControl control;
        in.AlignDword();
        if (dialog.extended) {
            in.Dword();  // help id
            control.exStyle = in.Dword();
            control.style = in.Dword();
        } else {
            control.style = in.Dword();
            control.exStyle = in.Dword();
        }
        control.x = in.Short();
        control.y = in.Short();
        control.cx = in.Short();
        control.cy = in.Short();
        control.id = dialog.extended ? in.Dword() : in.Word();
        control.cls = in.Name();
        control.text = in.Name();
        control.extraBytes = in.Word();
        in.Skip(control.extraBytes);
        if (!in.Ok()) {
            error = "control " + std::to_string(i + 1) + " runs past the end of the resource";
            return false;
        }
        dialog.controls.push_back(control);
    }
    return true;
}

// The predefined classes may be stored as ordinals; the system treats both forms alike.
std::string ClassName(const NameOrOrdinal& cls)
{
    if (!cls.isOrdinal)
        return cls.text;
    switch (cls.ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(cls.ordinal);
    }
}

bool SameClass(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && ::lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// ---------------------------------------------------------------------------------------------

std::string LibraryPath()
{
    return daxotest::ProgramFolder() + "\\TestDAXO01.dll";
}

// The library mapped as a data file: resources only, no entry point, no imports.
class ResourceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryExA(LibraryPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << LibraryPath() << ": GetLastError " << ::GetLastError();
    }
    void TearDown() override
    {
        if (module)
            ::FreeLibrary(module);
    }

    // The raw bytes of a resource; empty when it is missing.
    std::vector<unsigned char> Resource(unsigned id, const char* type) const
    {
        HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (!info)
            return {};
        HGLOBAL loaded = ::LoadResource(module, info);
        DWORD size = ::SizeofResource(module, info);
        const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
        if (!bytes || size == 0)
            return {};
        const unsigned char* begin = static_cast<const unsigned char*>(bytes);
        return std::vector<unsigned char>(begin, begin + size);
    }

    HMODULE module = nullptr;
};

void ExpectTemplate(const ExpectedDialog& expected, const std::vector<unsigned char>& bytes)
{
    SCOPED_TRACE("dialog " + std::to_string(expected.id));
    ASSERT_FALSE(bytes.empty()) << "no dialog resource";
    ParsedDialog dialog;
    std::string error;
    ASSERT_TRUE(ParseTemplate(bytes.data(), bytes.size(), dialog, error)) << error;

    EXPECT_EQ(dialog.style, kDialogStyle) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u) << std::hex << dialog.exStyle;
    EXPECT_EQ(dialog.x, expected.x);
    EXPECT_EQ(dialog.y, expected.y);
    EXPECT_EQ(dialog.cx, expected.cx);
    EXPECT_EQ(dialog.cy, expected.cy);
    EXPECT_TRUE(!dialog.menu.isOrdinal && dialog.menu.text.empty()) << "no menu";
    EXPECT_TRUE(!dialog.cls.isOrdinal && dialog.cls.text.empty()) << "the standard dialog class";
    EXPECT_FALSE(dialog.caption.isOrdinal);
    EXPECT_EQ(dialog.caption.text, expected.caption);
    EXPECT_EQ(dialog.pointSize, kPointSize);
    EXPECT_EQ(dialog.face, kFace);

    ASSERT_EQ(dialog.controls.size(), expected.controls.size());
    for (size_t i = 0; i < expected.controls.size(); ++i) {
        const ExpectedControl& want = expected.controls[i];
        const ParsedControl& got = dialog.controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " id " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_TRUE(SameClass(ClassName(got.cls), want.cls)) << ClassName(got.cls);
        EXPECT_EQ(got.style, want.style) << std::hex << got.style;
        EXPECT_EQ(got.exStyle, 0u) << std::hex << got.exStyle;
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_FALSE(got.text.isOrdinal) << "a text, not a resource reference";
        EXPECT_EQ(got.text.text, want.text);
        EXPECT_EQ(got.extraBytes, 0) << "no creation data";
    }
}

TEST_F(ResourceFile, TemplatesHoldTheControlsInTabOrderWithTheirStylesAndCzechTexts)
{
    for (const ExpectedDialog& expected : AllDialogs())
        ExpectTemplate(expected, Resource(expected.id, MAKEINTRESOURCEA(5)));
}

TEST_F(ResourceFile, JumperBitmapIs310By280With256Colours)
{
    std::vector<unsigned char> bytes = Resource(2023, MAKEINTRESOURCEA(2));
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER)) << "no bitmap resource";
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header.biWidth, 310);
    EXPECT_EQ(header.biHeight, 280) << "bottom-up, as LoadBitmap expects";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t colours = header.biClrUsed ? header.biClrUsed : 256;
    EXPECT_LE(colours, 256u);
    const size_t stride = (310 + 3) / 4 * 4;
    EXPECT_GE(bytes.size(), header.biSize + colours * sizeof(RGBQUAD) + stride * 280)
        << "palette and pixels are all there";
}

// ---------------------------------------------------------------------------------------------
// The templates as windows, created from the library loaded the way the host loads it.

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::string WindowText(HWND window)
{
    int length = ::GetWindowTextLengthW(window);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, &wide[0], length + 1);
    wide.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return ToCp1250(wide);
}

class DialogWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        ASSERT_TRUE(::InitCommonControlsEx(&classes));
        module = ::LoadLibraryA("TestDAXO01.dll");
        ASSERT_NE(module, nullptr) << "GetLastError " << ::GetLastError();
    }
    void TearDown() override
    {
        if (module)
            ::FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

TEST_F(DialogWindows, EveryTemplateCreatesAllItsControls)
{
    for (const ExpectedDialog& expected : AllDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        HWND dialog = ::CreateDialogParamA(module, MAKEINTRESOURCEA(expected.id), nullptr, PlainDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "GetLastError " << ::GetLastError();
        EXPECT_EQ(WindowText(dialog), expected.caption);

        // The children in creation order are the template's controls, nothing more.
        std::vector<unsigned> ids;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            ids.push_back(static_cast<unsigned>(::GetDlgCtrlID(child)));
        std::vector<unsigned> expectedIds;
        for (const ExpectedControl& control : expected.controls)
            expectedIds.push_back(control.id);
        EXPECT_EQ(ids, expectedIds);

        for (const ExpectedControl& control : expected.controls) {
            HWND item = ::GetDlgItem(dialog, static_cast<int>(control.id));
            ASSERT_NE(item, nullptr) << control.id;
            char cls[64] = {};
            ::GetClassNameA(item, cls, sizeof cls);
            EXPECT_TRUE(SameClass(cls, control.cls)) << control.id << ": " << cls;
            EXPECT_TRUE(::IsWindowVisible(item)) << control.id;
            EXPECT_TRUE(::IsWindowEnabled(item)) << control.id;
        }
        EXPECT_TRUE(::DestroyWindow(dialog));
    }
}

TEST_F(DialogWindows, ConfigDialogControlsBehaveAsTheirStylesPromise)
{
    HWND dialog = ::CreateDialogParamA(module, MAKEINTRESOURCEA(2020), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "GetLastError " << ::GetLastError();

    // The dialog's code keeps the pulse edits in step itself: no spinner may have taken a
    // neighbour as its buddy.
    for (int spinner = 32805; spinner <= 32812; ++spinner)
        EXPECT_EQ(::SendDlgItemMessageA(dialog, spinner, UDM_GETBUDDY, 0, 0), 0) << spinner;

    // The lists keep the order in which entries are added.
    ::SendDlgItemMessageA(dialog, 32773, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("9600"));
    ::SendDlgItemMessageA(dialog, 32773, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1200"));
    char first[16] = {};
    ::SendDlgItemMessageA(dialog, 32773, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, "9600");

    // Check boxes toggle themselves.
    ::SendDlgItemMessageA(dialog, 32786, BM_CLICK, 0, 0);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, 32786), static_cast<UINT>(BST_CHECKED));

    // The pulse edits refuse typing; the address edit takes digits only.
    ::SetFocus(::GetDlgItem(dialog, 32771));
    ::SendDlgItemMessageA(dialog, 32771, WM_CHAR, 'x', 0);
    ::SendDlgItemMessageA(dialog, 32771, WM_CHAR, '7', 0);
    char address[16] = {};
    ::GetDlgItemTextA(dialog, 32771, address, sizeof address);
    EXPECT_STREQ(address, "7");
    ::SendDlgItemMessageA(dialog, 32778, WM_CHAR, '5', 0);
    char pulse[16] = {};
    ::GetDlgItemTextA(dialog, 32778, pulse, sizeof pulse);
    EXPECT_STREQ(pulse, "");

    // The picture frame shows the jumper bitmap the way the dialog loads it.
    HBITMAP bitmap = ::LoadBitmapA(module, MAKEINTRESOURCEA(2023));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ASSERT_EQ(::GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 310);
    EXPECT_EQ(info.bmHeight, 280);
    HANDLE previous = reinterpret_cast<HANDLE>(::SendDlgItemMessageA(
        dialog, 32787, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    EXPECT_EQ(previous, nullptr);
    EXPECT_EQ(reinterpret_cast<HANDLE>(::SendDlgItemMessageA(dialog, 32787, STM_GETIMAGE, IMAGE_BITMAP, 0)),
              static_cast<HANDLE>(bitmap));

    EXPECT_TRUE(::DestroyWindow(dialog));
    EXPECT_TRUE(::DeleteObject(bitmap));
}

} // namespace
