#include "DynString.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

CDynString::CDynString() = default;

CDynString::CDynString(const char* text) { InitBuffer(text); }

CDynString::CDynString(const CDynString& other) : CMyObject(other)
{
    if (other.m_pText)
        Assign(other.m_pText, other.m_nLength);
}

CDynString& CDynString::operator=(const CDynString& other)
{
    if (this != &other) {
        if (other.m_pText)
            Assign(other.m_pText, other.m_nLength);
        else
            Assign("", 0);
    }
    return *this;
}

CDynString::~CDynString() { delete[] m_pText; }

void CDynString::Reserve(size_t capacity)
{
    if (capacity <= m_nCapacity && m_pText)
        return;
    // Exhaustion throws, as every allocation does.
    char* grown = new char[capacity + 1];
    if (m_pText)
        memcpy(grown, m_pText, m_nLength + 1);
    delete[] m_pText;
    m_pText = grown;
    m_nCapacity = capacity;
}

void CDynString::Assign(const char* text, size_t length)
{
    Reserve(length);
    memmove(m_pText, text, length);
    m_pText[length] = '\0';
    m_nLength = length;
}

int CDynString::SetString(const char* text, int length)
{
    if (!text || length <= 0) {
        Assign("", 0);
        return 1;
    }
    const void* zero = memchr(text, 0, static_cast<size_t>(length));
    size_t used = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : static_cast<size_t>(length);
    Assign(text, used);
    return 1;
}

int CDynString::InitBuffer(const char* text)
{
    if (!text)
        text = "";
    Assign(text, strlen(text));
    return 1;
}

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int CDynString::Trim()
{
    if (!m_pText)
        return 1;
    size_t begin = 0, end = m_nLength;
    while (begin < end && IsBlank(m_pText[begin]))
        ++begin;
    while (end > begin && IsBlank(m_pText[end - 1]))
        --end;
    memmove(m_pText, m_pText + begin, end - begin);
    m_nLength = end - begin;
    m_pText[m_nLength] = '\0';
    return 1;
}

int CDynString::Format(const char* format, ...)
{
    if (!format)
        return InitBuffer(""), 0;
    va_list args;
    va_start(args, format);
    va_list probe;
    va_copy(probe, args);
    int needed = vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0) {
        va_end(args);
        InitBuffer("");
        return 0;
    }
    Reserve(static_cast<size_t>(needed));
    vsnprintf(m_pText, static_cast<size_t>(needed) + 1, format, args);
    va_end(args);
    m_nLength = static_cast<size_t>(needed);
    return needed;
}

int CDynString::Replace(const char* pattern, const char* replacement, int start)
{
    if (!m_pText || !pattern || !*pattern || start < 0 || static_cast<size_t>(start) > m_nLength)
        return -1;
    const char* found = strstr(m_pText + start, pattern);
    if (!found)
        return -1;
    if (!replacement)
        replacement = "";
    size_t at = static_cast<size_t>(found - m_pText);
    size_t cut = strlen(pattern);
    size_t put = strlen(replacement);
    size_t length = m_nLength - cut + put;
    Reserve(length);
    memmove(m_pText + at + put, m_pText + at + cut, m_nLength - at - cut + 1);
    memcpy(m_pText + at, replacement, put);
    m_nLength = length;
    return static_cast<int>(at + put);
}
