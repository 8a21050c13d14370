#pragma once
#include "MyObject.h"
#include <stddef.h>

// Growable zero-terminated 8-bit text. The text is read as a possibly null pointer.
class QUILLET_API CDynString : public CMyObject {
public:
    CDynString();
    explicit CDynString(const char* text);
    CDynString(const CDynString& other);
    CDynString& operator=(const CDynString& other);
    ~CDynString() override;

    // Takes at most `length` bytes of `text`; a zero byte among them ends the text.
    int SetString(const char* text, int length);
    // Copies a zero-terminated text (null empties the buffer).
    int InitBuffer(const char* text);
    // Removes white space at both ends.
    int Trim();
    // printf-style; the buffer grows to whatever the result needs.
    int Format(const char* format, ...);
    // Replaces the first occurrence of `pattern` at or after byte `start`. Answers the
    // position just after the inserted text, or -1 when the pattern does not occur.
    int Replace(const char* pattern, const char* replacement, int start);

    const char* GetString() const { return m_pText; }
    operator const char*() const { return m_pText; }
    int GetLength() const { return static_cast<int>(m_nLength); }
    bool IsEmpty() const { return m_nLength == 0; }

private:
    void Assign(const char* text, size_t length);
    void Reserve(size_t capacity);

    char* m_pText = nullptr;   // null until the first assignment
    size_t m_nLength = 0;
    size_t m_nCapacity = 0;
};
