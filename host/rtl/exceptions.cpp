// Class-name tests of the exception hierarchy and the operating-system error raiser.
#include "host/rtl/exceptions.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace host {

bool Exception::InheritsFrom(const char* className) const noexcept {
    return std::strcmp(className, "Exception") == 0;
}

#define HOST_DEFINE_EXCEPTION(Name, Base)                                        \
    bool Name::InheritsFrom(const char* className) const noexcept {              \
        return std::strcmp(className, #Name) == 0 || Base::InheritsFrom(className); \
    }

HOST_DEFINE_EXCEPTION(EAbort, Exception)
HOST_DEFINE_EXCEPTION(EOutOfMemory, Exception)
HOST_DEFINE_EXCEPTION(EInOutError, Exception)
HOST_DEFINE_EXCEPTION(EIntError, Exception)
HOST_DEFINE_EXCEPTION(EDivByZero, EIntError)
HOST_DEFINE_EXCEPTION(ERangeError, EIntError)
HOST_DEFINE_EXCEPTION(EIntOverflow, EIntError)
HOST_DEFINE_EXCEPTION(EMathError, Exception)
HOST_DEFINE_EXCEPTION(EInvalidOp, EMathError)
HOST_DEFINE_EXCEPTION(EZeroDivide, EMathError)
HOST_DEFINE_EXCEPTION(EOverflow, EMathError)
HOST_DEFINE_EXCEPTION(EUnderflow, EMathError)
HOST_DEFINE_EXCEPTION(EInvalidPointer, Exception)
HOST_DEFINE_EXCEPTION(EInvalidCast, Exception)
HOST_DEFINE_EXCEPTION(EConvertError, Exception)
HOST_DEFINE_EXCEPTION(EAccessViolation, Exception)
HOST_DEFINE_EXCEPTION(EPrivilege, Exception)
HOST_DEFINE_EXCEPTION(EVariantError, Exception)
HOST_DEFINE_EXCEPTION(EPropReadOnly, Exception)
HOST_DEFINE_EXCEPTION(EPropWriteOnly, Exception)
HOST_DEFINE_EXCEPTION(EAssertionFailed, Exception)
HOST_DEFINE_EXCEPTION(EAbstractError, Exception)
HOST_DEFINE_EXCEPTION(EIntfCastError, Exception)
HOST_DEFINE_EXCEPTION(EOSError, Exception)
HOST_DEFINE_EXCEPTION(EPackageError, Exception)
HOST_DEFINE_EXCEPTION(EStreamError, Exception)
HOST_DEFINE_EXCEPTION(EFCreateError, EStreamError)
HOST_DEFINE_EXCEPTION(EFOpenError, EStreamError)
HOST_DEFINE_EXCEPTION(EFilerError, EStreamError)
HOST_DEFINE_EXCEPTION(EReadError, EFilerError)
HOST_DEFINE_EXCEPTION(EWriteError, EFilerError)
HOST_DEFINE_EXCEPTION(EClassNotFound, EFilerError)
HOST_DEFINE_EXCEPTION(EMethodNotFound, EFilerError)
HOST_DEFINE_EXCEPTION(EInvalidImage, EFilerError)
HOST_DEFINE_EXCEPTION(EResNotFound, Exception)
HOST_DEFINE_EXCEPTION(EListError, Exception)
HOST_DEFINE_EXCEPTION(EBitsError, Exception)
HOST_DEFINE_EXCEPTION(EStringListError, Exception)
HOST_DEFINE_EXCEPTION(EComponentError, Exception)
HOST_DEFINE_EXCEPTION(EParserError, Exception)
HOST_DEFINE_EXCEPTION(EOutOfResources, EOutOfMemory)
HOST_DEFINE_EXCEPTION(EInvalidOperation, Exception)
HOST_DEFINE_EXCEPTION(EPropertyError, Exception)
HOST_DEFINE_EXCEPTION(EPropertyConvertError, Exception)
HOST_DEFINE_EXCEPTION(EInvalidGraphic, Exception)
HOST_DEFINE_EXCEPTION(EInvalidGraphicOperation, Exception)
HOST_DEFINE_EXCEPTION(EMenuError, Exception)
HOST_DEFINE_EXCEPTION(EPrinter, Exception)
HOST_DEFINE_EXCEPTION(EInvalidGridOperation, Exception)
HOST_DEFINE_EXCEPTION(ETreeViewError, Exception)
HOST_DEFINE_EXCEPTION(EDBEditError, Exception)
HOST_DEFINE_EXCEPTION(EIniFileException, Exception)
HOST_DEFINE_EXCEPTION(ERegistryException, Exception)
HOST_DEFINE_EXCEPTION(EMCIDeviceError, Exception)
HOST_DEFINE_EXCEPTION(EDatabaseError, Exception)
HOST_DEFINE_EXCEPTION(EExprParserError, EDatabaseError)

void RaiseLastOSError(int code) {
    if (code == 0) throw EOSError("A call to an OS function failed");
    throw EOSError("System Error.  Code: " + std::to_string(code) + ".\n" + std::strerror(code));
}

void RaiseLastOSError() { RaiseLastOSError(errno); }

}  // namespace host
