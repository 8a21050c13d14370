#pragma once
#include "QuilletApi.h"

class QUILLET_API CMyObject {
public:
    CMyObject();
    virtual ~CMyObject();

    static void OutputDebugStringA(const char* text);
};
