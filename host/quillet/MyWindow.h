#pragma once
#include "MyWindowObject.h"

class QUILLET_API CMyWindow : public CMyWindowObject {
public:
    explicit CMyWindow(unsigned int templateId = 0, DLGPROC callback = nullptr, HWND parent = nullptr);
    ~CMyWindow() override;

    // The toolkit's dialog procedure, or the callback given at construction.
    DLGPROC GetWndProc() const;
    unsigned int GetClassTemplate() const { return m_nTemplate & 0xFFFFu; }

protected:
    unsigned int m_nTemplate;
    DLGPROC m_pCallback;
};
