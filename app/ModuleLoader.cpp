#include "ModuleLoader.h"
#include "HostContract.h"
#include "ModuleFit.h"
#include "SystemText.h"

namespace daxohost {

namespace {

typedef void* (*GetInstanceFn)();
typedef unsigned short (*GetInstanceIdFn)();

template <typename F>
F Export(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

constexpr const char* kBeside = " It belongs beside daxohost.exe, with daxotester.test, prubel.dll, quillet.dll, "
                                "tarlex.dll, simbench.dll and langfile.dll.";

// What Windows' own reason leaves out: what of the module does not fit the host's libraries.
std::string Lines(const std::vector<std::string>& problems)
{
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
    // The file the loader would take by this name: the one beside the program. Windows binds a
    // missing import to a stub that faults at its first call, far into a run; a module that does
    // not fit is refused here, before any code of it runs, with what does not fit.
    const std::string folder = ProgramFolder();
    const std::string path = name.find_first_of("\\/") == std::string::npos ? folder + "\\" + name : name;
    const ModuleFit fit = CheckModule(path, folder, false);
    if (!fit.readable)
        return Fail(ModuleStatus::NotFound, "The test module " + name + " cannot be loaded." + kBeside + "\n" + fit.unreadable);
    if (!fit.importsMet)
        return Fail(ModuleStatus::NotFound,
                    "The test module " + name + " cannot be loaded: it does not fit this host." + Lines(fit.problems));
    // A missing library the module needs must come back as an error here, not as a system box.
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_module = ::LoadLibraryA(path.c_str());
    DWORD error = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (!m_module) {
        return Fail(ModuleStatus::NotFound, "The test module " + name + " cannot be loaded (error " +
                                                std::to_string(error) + ": " + SystemErrorText(error, path) + ")." +
                                                kBeside + Lines(fit.problems));
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
