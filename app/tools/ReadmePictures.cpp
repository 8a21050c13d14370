// Takes the README's picture of the host application by hand: the operator configures a
// series of two units on the built-in bench, and the main window with its verdict and the
// bench window below the module's dialogs are pictured together.
//   readme_pictures.exe FOLDER [RECORD]
#include "HostApplication.h"
#include "HostContract.h"
#include "MainWindow.h"
#include "OperatorDriver.h"
#include "Screenshots.h"
#include <windows.h>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace daxohost;


struct Session {
    std::unique_ptr<opdriver::OperatorDriver> driver;
    std::unique_ptr<CScreenshots> shots;
    HWND main = nullptr;
    bool started = false;
    int quietTicks = 0;   // ticks since the last dialog closed
    std::string picture;
} g_session;

HWND FindTopWindow(const char* title)
{
    return ::FindWindowA(nullptr, title);
}

bool AnyDialogOpen()
{
    return ::FindWindowA("#32770", nullptr) != nullptr;
}

// The operator's hand on the main window, and the photographer once the series is over.
void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    Session& session = g_session;
    if (!session.started) {
        session.main = FindTopWindow("DAXO host");
        if (!session.main)
            return;
        session.started = true;
        ::PostMessageA(session.main, WM_COMMAND, CMainWindow::kConfigureCommand, 0);
        return;
    }
    // The call returns, and the log and the bench catch up, a moment after the last dialog.
    const int kQuietTicksBeforePicture = 4;
    session.quietTicks = session.driver->Finished() && !AnyDialogOpen() ? session.quietTicks + 1 : 0;
    if (session.quietTicks < kQuietTicksBeforePicture)
        return;
    ::KillTimer(nullptr, timer);
    HWND bench = FindTopWindow("Simulated bench");
    RECT main{}, both{};
    ::GetWindowRect(session.main, &main);
    both = main;
    if (bench) {
        RECT benchArea{};
        ::GetWindowRect(bench, &benchArea);
        ::UnionRect(&both, &main, &benchArea);
    }
    ::UpdateWindow(session.main);
    ::Sleep(300);   // the verdict's repaint reaches the screen
    session.picture = session.shots->SaveArea(both, "host-by-hand");
    ::PostMessageA(session.main, WM_CLOSE, 0, 0);
}

} // namespace

int main(int argc, char** argv)
{
    // The record may lie elsewhere, so that the picture shows a station's path, not a build's.
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: readme_pictures.exe FOLDER [RECORD]\n");
        return 2;
    }
    Session& session = g_session;
    session.shots.reset(new CScreenshots(argv[1]));
    if (!session.shots->Ready())
        return 2;
    session.driver.reset(new opdriver::OperatorDriver(20000));
    session.driver->OnDialog(IDC_WRITE, [](opdriver::Window& w) {
        w.Check(IDC_SERIES, true);
        w.Click(IDC_WRITE);
    });
    session.driver->OnDialog(IDC_CONFIRM_PROMPT, [](opdriver::Window& w) { w.Click(IDOK); });
    session.driver->OnDialog(IDC_WRITE, [](opdriver::Window& w) { w.Click(IDC_WRITE); });
    session.driver->OnDialog(IDC_CONFIRM_PROMPT, [](opdriver::Window& w) { w.Click(IDCANCEL); });
    ::SetTimer(nullptr, 0, 200, &OnTimer);

    HostOptions options;
    options.record = argc == 3 ? std::string(argv[2]) : std::string(argv[1]) + "\\commissioning.csv";
    CHostApplication application(options);
    int result = application.Run();
    std::printf("%s\n", session.picture.empty() ? "no picture taken" : session.picture.c_str());
    session.driver.reset();
    return result == 0 && !session.picture.empty() ? 0 : 1;
}
