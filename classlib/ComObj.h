// The class library's error for failed COM and OLE calls, and the check that
// raises it from a result code.
#pragma once

#include <windows.h>

#include "Types.h"

class EOleSysError : public EClassLibError {
public:
    explicit EOleSysError(HRESULT Code);
    HRESULT ErrorCode() const { return FErrorCode; }

private:
    HRESULT FErrorCode;
};

// Raises EOleSysError when Result is a failure code; returns it otherwise.
HRESULT OleCheck(HRESULT Result);
