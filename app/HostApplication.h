#pragma once
// daxohost.exe: loads the module as the production host does and runs its configuration,
// for an operator at the screen or from a script.
#include "CommandLine.h"
#include "HostContract.h"
#include "CommissioningRecord.h"
#include "ModuleLoader.h"
#include "ResultLog.h"
#include "Script.h"
#include <string>

namespace daxohost {

class CHostApplication {
public:
    explicit CHostApplication(HostOptions options);
    // The process exit code.
    int Run();

private:
    int Prepare();
    int RunScript();
    int RunByHand();
    void OnEntry(const LogEntry& entry);
    int Refuse(int exitCode, const std::string& message) const;

    HostOptions m_options;
    CScript m_script;
    CResultLog m_log;
    CCommissioningRecord m_record;
    CModuleLoader m_module;
    std::string m_lostRow;     // why a row of the commissioning record is missing; empty: none is
};

} // namespace daxohost
