#pragma once
// The module loaded and asked for its identifier in a process of its own (daxohost.exe again,
// with an option the usage does not name): whatever its DllMain or its _GetTestInstanceID
// does, crash or loop, the asking host comes back with an answer within a time limit.
#include <string>

namespace daxohost {

// The hidden option that makes daxohost.exe the probe, followed by the module's full path.
constexpr const char* kProbeOption = "--probe-module-internal";
// How long a module may take to load and answer. A test may shorten it through the variable.
constexpr unsigned kProbeSeconds = 10;
constexpr const char* kProbeSecondsVariable = "DAXO_MODULE_PROBE_SECONDS";

struct ProbeAnswer {
    bool answered = false;     // false: `failure` says what happened instead
    unsigned short id = 0;
    std::string failure;       // what follows the module's name in a sentence: "crashed while loading: ..."
};

// In the host: loads the library at `fullPath` (never a bare name) in a child process.
ProbeAnswer ProbeModule(const std::string& fullPath);

// In the child: what the host reads back. Its exit code is 0 once it has answered.
int RunModuleProbe(const std::string& fullPath);

} // namespace daxohost
