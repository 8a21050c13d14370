#include "MyWindow.h"
#include "MyDialog.h"

CMyWindow::CMyWindow(unsigned int templateId, DLGPROC callback, HWND parent)
    : m_nTemplate(templateId), m_pCallback(callback)
{
    m_hParentWnd = parent;
}

CMyWindow::~CMyWindow() = default;

DLGPROC CMyWindow::GetWndProc() const
{
    return m_pCallback ? m_pCallback : &CMyDialog::DialogProc;
}
