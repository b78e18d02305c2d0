#include "ComObj.h"

#include <cstdio>

namespace {
String OleErrorText(HRESULT Code) {
    char text[48];
    std::snprintf(text, sizeof text, "OLE error %08lX", static_cast<unsigned long>(Code));
    return text;
}
}  // namespace

EOleSysError::EOleSysError(HRESULT Code) : EClassLibError(OleErrorText(Code)), FErrorCode(Code) {}

HRESULT OleCheck(HRESULT Result) {
    if (FAILED(Result)) throw EOleSysError(Result);
    return Result;
}
