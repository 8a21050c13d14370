#pragma once
// The last word of a host that crashes: what happened and where, on the standard error, and
// the exit code kExitCrashed, so that a crash never passes for another ending.

namespace daxohost {

// For the whole process and every thread: unhandled structured exceptions (an access violation
// in the module, too), C++ exceptions nobody catches, and abort().
void InstallCrashReport();

} // namespace daxohost
