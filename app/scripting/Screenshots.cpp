#include "Screenshots.h"
#include "OperatorDriver.h"
#include "HostDiagnostic.h"
#include "Script.h"
#include "TextCodec.h"
#include "Window.h"
#include "WholeFile.h"
#include <gdiplus.h>
#include <cstdio>
#include <vector>

namespace daxohost {

namespace {

const char kSource[] = "Screenshots";
const DWORD kSettleMs = 150;

bool CreateFolders(const std::string& folder)
{
    for (size_t at = folder.find_first_of("\\/", 1); ; at = folder.find_first_of("\\/", at + 1)) {
        std::string part = folder.substr(0, at);
        // A drive ("C:") or an existing folder needs nothing.
        if (!part.empty() && part.back() != ':' && !::CreateDirectoryA(part.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::string::npos)
            return true;
    }
}

bool FindEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (::lstrcmpW(encoders[i].MimeType, mimeType) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

// A window that has just opened reaches the screen only after its thread has gone on
// handling messages for a moment; a window of a modal loop has nobody else to do that.
void Settle(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    opdriver::PumpMessagesFor(kSettleMs);
    ::GdiFlush();
}

} // namespace

CScreenshots::CScreenshots(std::string folder) : m_folder(std::move(folder))
{
    while (m_folder.size() > 1 && (m_folder.back() == '\\' || m_folder.back() == '/'))
        m_folder.pop_back();
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        m_gdiplusToken = 0;
        return;
    }
    m_haveEncoder = FindEncoder(L"image/png", &m_pngEncoder);
    m_ready = m_haveEncoder && CreateFolders(m_folder);
}

CScreenshots::~CScreenshots()
{
    if (m_gdiplusToken)
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

std::string CScreenshots::Save(HWND window, const std::string& name)
{
    if (!m_ready || !::IsWindow(window))
        return {};
    Settle(window);
    RECT area;
    if (!::IsWindow(window) || !::IsWindowVisible(window) || !::GetWindowRect(window, &area))
        return {};
    return SaveArea(area, name);
}

std::string CScreenshots::SaveArea(const RECT& area, const std::string& name)
{
    if (!m_ready)
        return {};
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return {};
    // The screen holds what the operator sees; asking the window to paint itself into a
    // bitmap gives nothing on some systems.
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return {};
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(screen, width, height) : nullptr;
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        copied = ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT) != 0;
        ::SelectObject(memory, old);
    }
    if (memory)
        ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    char file[32];
    std::snprintf(file, sizeof file, "%03d-", m_count + 1);
    std::string path = m_folder + "\\" + file + name + ".png";
    bool written = copied && WritePng(bitmap, path);
    if (bitmap)
        ::DeleteObject(bitmap);
    if (!written) {
        Diagnostic(kSource, __LINE__, "no picture written to " + path);
        return {};
    }
    ++m_count;
    return path;
}

std::string CScreenshots::NameOf(HWND window)
{
    opdriver::Window shown(window);
    if (shown.IsMessageBox())
        return "msgbox";
    for (const KnownDialog& known : KnownDialogs())
        if (shown.HasControl(known.identifyingControl))
            return "dialog-" + std::to_string(known.dialogId);
    return "dialog";
}

bool CScreenshots::WritePng(HBITMAP bitmap, const std::string& path) const
{
    Gdiplus::Bitmap image(bitmap, nullptr);
    if (image.GetLastStatus() != Gdiplus::Ok)
        return false;
    std::string reason;
    bool saved = WriteWholeFile(
        path,
        [&](const std::string& temporary, std::string* why) {
            std::wstring widePath = WideFrom(temporary, CP_ACP);
            Gdiplus::Status status = widePath.empty() ? Gdiplus::InvalidParameter
                                                      : image.Save(widePath.c_str(), &m_pngEncoder, nullptr);
            *why = "GDI+ could not write the picture (status " + std::to_string(status) + ")";
            return status == Gdiplus::Ok;
        },
        Existing::Replace, &reason);
    if (!saved)
        Diagnostic(kSource, __LINE__, reason);
    return saved;
}

} // namespace daxohost
