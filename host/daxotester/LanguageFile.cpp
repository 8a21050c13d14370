#include "LanguageFile.h"

struct CLanguageFile::Document {};

CLanguageFile::CLanguageFile() = default;
CLanguageFile::~CLanguageFile() = default;

void CLanguageFile::SetPath(const char* path)
{
    Close();
    m_path = path ? path : "";
}

bool CLanguageFile::Open()
{
    Close();
    m_error = "language files are not read yet";
    return false;
}

void CLanguageFile::Close() { m_document.reset(); }
bool CLanguageFile::IsOpen() const { return m_document != nullptr; }
int CLanguageFile::GetTag(unsigned long, const char*) { return 0; }
const char* CLanguageFile::GetAttribute(const char*) const { return nullptr; }
const char* CLanguageFile::GetTagName() const { return nullptr; }
