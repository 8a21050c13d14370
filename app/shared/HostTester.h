#pragma once
// The host's own tester, with the host's texts only and no module, for as long as one is needed:
// the translator's tools ask it for the host's words, and a language file is judged by what it
// answers where the file has no text.
#include "TesterHooks.h"

namespace daxohost {

class CHostTester {
public:
    CHostTester() : m_tester(DaxoTesterCreate()) {}
    ~CHostTester() { DaxoTesterDestroy(m_tester); }
    CHostTester(const CHostTester&) = delete;
    CHostTester& operator=(const CHostTester&) = delete;
    // Null when the tester could not be made.
    void* Object() const { return m_tester; }

private:
    void* m_tester;
};

} // namespace daxohost
