#pragma once
// Pictures of the dialogs and message boxes as the operator sees them, as PNG files.
#include <windows.h>
#include <string>

namespace daxohost {

class CScreenshots {
public:
    // Creates the folder (and its parents) and starts GDI+.
    explicit CScreenshots(std::string folder);
    ~CScreenshots();
    CScreenshots(const CScreenshots&) = delete;
    CScreenshots& operator=(const CScreenshots&) = delete;

    bool Ready() const { return m_ready; }
    const std::string& Folder() const { return m_folder; }
    int Count() const { return m_count; }
    // Copies the window's rectangle from the screen into "<folder>\NNN-<name>.png"; answers the
    // path, or empty when the picture could not be taken.
    std::string Save(HWND window, const std::string& name);
    // The same for a rectangle of the screen, such as several windows side by side.
    std::string SaveArea(const RECT& area, const std::string& name);
    // "msgbox", "dialog-2020" for the module's dialogs, else "dialog".
    static std::string NameOf(HWND window);

private:
    bool WritePng(HBITMAP bitmap, const std::string& path) const;

    std::string m_folder;
    ULONG_PTR m_gdiplusToken = 0;
    bool m_haveEncoder = false;
    CLSID m_pngEncoder{};
    bool m_ready = false;
    int m_count = 0;
};

} // namespace daxohost
