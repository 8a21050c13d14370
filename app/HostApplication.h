#pragma once
// daxohost.exe: loads the module as the production host does and runs its configuration,
// for an operator at the screen or from a script.
#include "CommandLine.h"
#include "HostContract.h"
#include "CommissioningRecord.h"
#include "ModuleLoader.h"
#include "ResultLog.h"
#include "Script.h"
#include "UnitPass.h"
#include <string>

namespace daxohost {

class CHostApplication {
public:
    explicit CHostApplication(HostOptions options);
    ~CHostApplication();
    CHostApplication(const CHostApplication&) = delete;
    CHostApplication& operator=(const CHostApplication&) = delete;
    // The process exit code.
    int Run();

private:
    int Prepare();
    int RunScript();
    int RunByHand();
    void OnEntry(const LogEntry& entry);
    void OnPass(const UnitPass& pass);
    static void OnTesterEvent(void* context, int kind, const unsigned char* data, int length, int result);
    int Refuse(int exitCode, const std::string& message) const;
    // On the standard error as "daxohost: <kind><message>", and in a message box by hand.
    void Tell(const char* kind, const std::string& message, UINT icon) const;
    // A translator's tool runs alone: no record, no unit.
    bool LanguageTool() const { return !m_options.checkLang.empty() || !m_options.exportLang.empty(); }
    // An operator at the screen, not a script or a translator's tool.
    bool ByHand() const { return m_options.script.empty() && !LanguageTool(); }

    HostOptions m_options;
    CScript m_script;
    CResultLog m_log;
    CCommissioningRecord m_record;
    CModuleLoader m_module;
    CUnitPassTracker m_passes;
    SessionTotals m_totals;
    class CMainWindow* m_mainWindow = nullptr;   // while the operator works by hand
    bool m_noUnitRead = false;  // CheckEEPROM read nothing in the call under way
    std::string m_lostRow;     // why a row of the commissioning record is missing; empty: none is
};

} // namespace daxohost
