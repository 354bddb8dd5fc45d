// The framework's exception hierarchy: every error the host or the package raises.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

// Base of every exception the framework raises. ClassName() gives the
// framework's class name ("EConvertError"), Message() the text shown to a user.
class Exception : public std::exception {
public:
    explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
    Exception(std::string msg, int helpContext) : FMessage(std::move(msg)), FHelpContext(helpContext) {}
    ~Exception() override = default;

    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string msg) { FMessage = std::move(msg); }
    int HelpContext() const noexcept { return FHelpContext; }
    virtual const char* ClassName() const noexcept { return "Exception"; }
    // True when this exception is of the named class or derives from it.
    virtual bool InheritsFrom(const char* className) const noexcept;
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
    int FHelpContext = 0;
};

#define HOST_DECLARE_EXCEPTION(Name, Base)                                              \
    class Name : public Base {                                                          \
    public:                                                                             \
        using Base::Base;                                                               \
        const char* ClassName() const noexcept override { return #Name; }               \
        bool InheritsFrom(const char* className) const noexcept override;               \
    };

// Raised to abandon an operation silently: handlers do not show it to the user.
HOST_DECLARE_EXCEPTION(EAbort, Exception)
HOST_DECLARE_EXCEPTION(EOutOfMemory, Exception)
HOST_DECLARE_EXCEPTION(EInOutError, Exception)
HOST_DECLARE_EXCEPTION(EIntError, Exception)
HOST_DECLARE_EXCEPTION(EDivByZero, EIntError)
HOST_DECLARE_EXCEPTION(ERangeError, EIntError)
HOST_DECLARE_EXCEPTION(EIntOverflow, EIntError)
HOST_DECLARE_EXCEPTION(EMathError, Exception)
HOST_DECLARE_EXCEPTION(EInvalidOp, EMathError)
HOST_DECLARE_EXCEPTION(EZeroDivide, EMathError)
HOST_DECLARE_EXCEPTION(EOverflow, EMathError)
HOST_DECLARE_EXCEPTION(EUnderflow, EMathError)
HOST_DECLARE_EXCEPTION(EInvalidPointer, Exception)
HOST_DECLARE_EXCEPTION(EInvalidCast, Exception)
HOST_DECLARE_EXCEPTION(EConvertError, Exception)
HOST_DECLARE_EXCEPTION(EAccessViolation, Exception)
HOST_DECLARE_EXCEPTION(EPrivilege, Exception)
HOST_DECLARE_EXCEPTION(EVariantError, Exception)
HOST_DECLARE_EXCEPTION(EPropReadOnly, Exception)
HOST_DECLARE_EXCEPTION(EPropWriteOnly, Exception)
HOST_DECLARE_EXCEPTION(EAssertionFailed, Exception)
HOST_DECLARE_EXCEPTION(EAbstractError, Exception)
HOST_DECLARE_EXCEPTION(EIntfCastError, Exception)
HOST_DECLARE_EXCEPTION(EOSError, Exception)
HOST_DECLARE_EXCEPTION(EPackageError, Exception)

// Classes unit
HOST_DECLARE_EXCEPTION(EStreamError, Exception)
HOST_DECLARE_EXCEPTION(EFCreateError, EStreamError)
HOST_DECLARE_EXCEPTION(EFOpenError, EStreamError)
HOST_DECLARE_EXCEPTION(EFilerError, EStreamError)
HOST_DECLARE_EXCEPTION(EReadError, EFilerError)
HOST_DECLARE_EXCEPTION(EWriteError, EFilerError)
HOST_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
HOST_DECLARE_EXCEPTION(EMethodNotFound, EFilerError)
HOST_DECLARE_EXCEPTION(EInvalidImage, EFilerError)
HOST_DECLARE_EXCEPTION(EResNotFound, Exception)
HOST_DECLARE_EXCEPTION(EListError, Exception)
HOST_DECLARE_EXCEPTION(EBitsError, Exception)
HOST_DECLARE_EXCEPTION(EStringListError, Exception)
HOST_DECLARE_EXCEPTION(EComponentError, Exception)
HOST_DECLARE_EXCEPTION(EParserError, Exception)
HOST_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)
HOST_DECLARE_EXCEPTION(EInvalidOperation, Exception)
HOST_DECLARE_EXCEPTION(EPropertyError, Exception)
HOST_DECLARE_EXCEPTION(EPropertyConvertError, Exception)

// Graphics, controls, menus, printers
HOST_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
HOST_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
HOST_DECLARE_EXCEPTION(EMenuError, Exception)
HOST_DECLARE_EXCEPTION(EPrinter, Exception)
HOST_DECLARE_EXCEPTION(EInvalidGridOperation, Exception)
HOST_DECLARE_EXCEPTION(ETreeViewError, Exception)
HOST_DECLARE_EXCEPTION(EDBEditError, Exception)
HOST_DECLARE_EXCEPTION(EIniFileException, Exception)
HOST_DECLARE_EXCEPTION(ERegistryException, Exception)
HOST_DECLARE_EXCEPTION(EMCIDeviceError, Exception)

// Data access
HOST_DECLARE_EXCEPTION(EDatabaseError, Exception)
// EDBEngineError, which carries the engine's error code, is in host/db/dbierrors.h.
HOST_DECLARE_EXCEPTION(EExprParserError, EDatabaseError)

// Raises EOSError for the given operating-system error code (errno), with the
// system's text for it.
[[noreturn]] void RaiseLastOSError(int code);
[[noreturn]] void RaiseLastOSError();

}  // namespace host
