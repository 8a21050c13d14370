#include "ModuleLoader.h"
#include "HostContract.h"
#include "ModuleFit.h"

namespace daxohost {

namespace {

typedef void* (*GetInstanceFn)();
typedef unsigned short (*GetInstanceIdFn)();

template <typename F>
F Export(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string SystemMessage(DWORD error)
{
    char* text = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

// What Windows' own reason leaves out: what of the module does not fit the host's libraries.
std::string WhatDoesNotFit(const std::string& name)
{
    const std::string folder = ProgramFolder();
    const bool bare = name.find_first_of("\\/") == std::string::npos;
    const std::vector<std::string> problems = CheckModule(bare ? folder + "\\" + name : name, folder, false).problems;
    const size_t shown = 5;
    std::string text;
    for (size_t i = 0; i < problems.size() && i < shown; ++i)
        text += "\n" + problems[i];
    if (problems.size() > shown)
        text += "\n... and " + std::to_string(problems.size() - shown) + " more.";
    return text;
}

} // namespace

CModuleLoader::~CModuleLoader()
{
    if (m_module)
        ::FreeLibrary(m_module);
}

ModuleStatus CModuleLoader::Fail(ModuleStatus status, const std::string& message)
{
    m_message = message;
    m_test = CTestObject(nullptr);
    if (m_module) {
        ::FreeLibrary(m_module);
        m_module = nullptr;
    }
    return status;
}

ModuleStatus CModuleLoader::Load(const char* fileName)
{
    const std::string name = fileName ? fileName : "";
    if (m_module) {
        ::FreeLibrary(m_module);
        m_module = nullptr;
        m_test = CTestObject(nullptr);
    }
    // A missing library the module needs must come back as an error here, not as a system box.
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_module = ::LoadLibraryA(name.c_str());
    DWORD error = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (!m_module) {
        return Fail(ModuleStatus::NotFound,
                    "The test module " + name + " cannot be loaded (error " + std::to_string(error) + ": " +
                        SystemMessage(error) + "). It belongs beside daxohost.exe, with daxotester.test, "
                        "prubel.dll, quillet.dll, tarlex.dll, simbench.dll and langfile.dll." +
                        WhatDoesNotFit(name));
    }
    auto getId = Export<GetInstanceIdFn>(m_module, "_GetTestInstanceID");
    auto getInstance = Export<GetInstanceFn>(m_module, "_GetTestInstance");
    if (!getId || !getInstance) {
        std::string missing = !getId && !getInstance ? "_GetTestInstanceID and _GetTestInstance"
                              : !getId               ? "_GetTestInstanceID"
                                                     : "_GetTestInstance";
        return Fail(ModuleStatus::MissingExport,
                    name + " is not a test module: it does not export " + missing + ".");
    }
    unsigned short id = getId();
    if (id != kFamilyId) {
        return Fail(ModuleStatus::WrongIdentifier, name + " answers the module identifier " + std::to_string(id) +
                                                       ", not " + std::to_string(kFamilyId) +
                                                       ": it is not a module of the DAXO family.");
    }
    m_test = CTestObject(getInstance());
    if (!m_test.Object())
        return Fail(ModuleStatus::NoTestObject, name + " hands out no test object.");
    m_message.clear();
    return ModuleStatus::Loaded;
}

int CModuleLoader::ExitCode(ModuleStatus status)
{
    switch (status) {
    case ModuleStatus::Loaded: return kExitPassed;
    case ModuleStatus::NotFound: return kExitModuleNotFound;
    case ModuleStatus::MissingExport: return kExitMissingExport;
    case ModuleStatus::WrongIdentifier: return kExitWrongIdentifier;
    case ModuleStatus::NoTestObject: return kExitNoTestObject;
    }
    return kExitNoTestObject;
}

} // namespace daxohost
