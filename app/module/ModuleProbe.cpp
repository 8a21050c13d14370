#include "ModuleProbe.h"
#include "HostContract.h"
#include "SystemText.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace daxohost {

namespace {

// What the child writes on its standard output; anything else there is the module's.
constexpr const char* kIdentifierLine = "probe-identifier ";
constexpr const char* kLoadErrorLine = "probe-load-error ";
constexpr const char* kNoExportLine = "probe-no-identifier";
// Enough for the lines above and a crash report; a module that writes more is not listened to.
constexpr size_t kMaxChildOutput = 64 * 1024;
constexpr DWORD kPollMs = 20;
constexpr unsigned kMaxProbeSeconds = 600;

unsigned ProbeSeconds()
{
    const char* text = std::getenv(kProbeSecondsVariable);
    unsigned long seconds = text ? std::strtoul(text, nullptr, 10) : 0;
    return seconds >= 1 && seconds <= kMaxProbeSeconds ? static_cast<unsigned>(seconds) : kProbeSeconds;
}

std::string ProgramPath()
{
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

void Drain(HANDLE pipe, std::string* output)
{
    DWORD waiting = 0;
    char buffer[4096];
    while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        DWORD read = 0;
        if (!::ReadFile(pipe, buffer, sizeof buffer < waiting ? sizeof buffer : waiting, &read, nullptr) || !read)
            return;
        if (output->size() < kMaxChildOutput)
            output->append(buffer, read);
    }
}

std::string Field(const std::string& output, const char* line)
{
    size_t at = output.find(line);
    if (at == std::string::npos)
        return std::string();
    at += std::strlen(line);
    return output.substr(at, output.find_first_of("\r\n", at) - at);
}

// The crash report's own line, without its prefix and its exit code.
std::string CrashText(const std::string& output)
{
    const std::string marker = "crashed: ";
    size_t at = output.find(marker);
    if (at == std::string::npos)
        return "no report";
    at += marker.size();
    size_t end = output.find_first_of("\r\n", at);
    std::string text = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
    size_t code = text.find("; exit code");
    return text.substr(0, code);
}

} // namespace

ProbeAnswer ProbeModule(const std::string& fullPath)
{
    ProbeAnswer answer;
    const unsigned seconds = ProbeSeconds();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        answer.failure = "could not be loaded: no pipe to a process of its own (error " +
                         std::to_string(::GetLastError()) + ").";
        return answer;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // The module's DllMain may read: it gets nothing, never the operator's console.
    HANDLE nothing = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                   nullptr);
    const std::string program = ProgramPath();
    std::string command = "\"" + program + "\" " + kProbeOption + " \"" + fullPath + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    BOOL started = ::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                    folder.c_str(), &startup, &process);
    DWORD startError = ::GetLastError();
    ::CloseHandle(writeEnd);
    if (nothing != INVALID_HANDLE_VALUE)
        ::CloseHandle(nothing);
    if (!started) {
        ::CloseHandle(readEnd);
        answer.failure = "could not be loaded: no process of its own (error " + std::to_string(startError) + ": " +
                         SystemErrorText(startError, program) + ").";
        return answer;
    }
    std::string output;
    const ULONGLONG deadline = ::GetTickCount64() + seconds * 1000ull;
    bool timedOut = false;
    for (;;) {
        DWORD waited = ::WaitForSingleObject(process.hProcess, kPollMs);
        Drain(readEnd, &output);
        if (waited != WAIT_TIMEOUT)
            break;
        if (::GetTickCount64() >= deadline) {
            ::TerminateProcess(process.hProcess, kExitCrashed);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            timedOut = true;
            break;
        }
    }
    Drain(readEnd, &output);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(readEnd);

    const std::string id = Field(output, kIdentifierLine);
    const std::string loadError = Field(output, kLoadErrorLine);
    if (timedOut) {
        answer.failure = "did not answer within " + std::to_string(seconds) + " s (loading it and asking "
                         "_GetTestInstanceID); the process that loaded it was ended.";
    } else if (!id.empty()) {
        answer.answered = true;
        answer.id = static_cast<unsigned short>(std::strtoul(id.c_str(), nullptr, 10));
    } else if (!loadError.empty()) {
        const unsigned long error = std::strtoul(loadError.c_str(), nullptr, 10);
        answer.failure = "cannot be loaded by Windows (error " + std::to_string(error) + ": " +
                         SystemErrorText(error, fullPath) + ").";
    } else if (output.find(kNoExportLine) != std::string::npos) {
        answer.failure = "has no _GetTestInstanceID that Windows finds.";
    } else if (exitCode == static_cast<DWORD>(kExitCrashed)) {
        answer.failure = "crashed while loading: " + CrashText(output) + ".";
    } else {
        answer.failure = "ended the process that loaded it with exit code " + std::to_string(exitCode) + ".";
    }
    return answer;
}

int RunModuleProbe(const std::string& fullPath)
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    HMODULE module = ::LoadLibraryA(fullPath.c_str());
    if (!module) {
        std::printf("%s%lu\n", kLoadErrorLine, ::GetLastError());
    } else {
        auto getId = reinterpret_cast<unsigned short (*)()>(
            reinterpret_cast<void*>(::GetProcAddress(module, "_GetTestInstanceID")));
        if (getId)
            std::printf("%s%u\n", kIdentifierLine, static_cast<unsigned>(getId()));
        else
            std::printf("%s\n", kNoExportLine);
    }
    std::fflush(stdout);
    // Said; the module's detach code is none of the host's business.
    ::TerminateProcess(::GetCurrentProcess(), kExitPassed);
    return kExitPassed;
}

} // namespace daxohost
