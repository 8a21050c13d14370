#pragma once
// Finds the test module the way the production host does: by its file name, through its two
// exports, checked against the identifier of the family.
#include "TestObjectRows.h"
#include <windows.h>
#include <string>

namespace daxohost {

enum class ModuleStatus { Loaded, NotFound, MissingExport, WrongIdentifier, NoTestObject };

class CModuleLoader {
public:
    static constexpr unsigned short kFamilyId = 20292;
    static constexpr const char* kFileName = "TestDAXO01.dll";

    CModuleLoader() = default;
    ~CModuleLoader();
    CModuleLoader(const CModuleLoader&) = delete;
    CModuleLoader& operator=(const CModuleLoader&) = delete;

    ModuleStatus Load(const char* fileName = kFileName);
    // The module's one test object; null unless Load answered Loaded.
    const CTestObject* Test() const { return m_test.Object() ? &m_test : nullptr; }
    // What went wrong, for the operator.
    const std::string& Message() const { return m_message; }

    // 0 for Loaded; the process exit code of each failure.
    static int ExitCode(ModuleStatus status);

private:
    ModuleStatus Fail(ModuleStatus status, const std::string& message);

    HMODULE m_module = nullptr;
    CTestObject m_test{nullptr};
    std::string m_message;
};

} // namespace daxohost
