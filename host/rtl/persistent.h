// TPersistent: objects that can be assigned to one another and streamed.
#pragma once

#include <string>

#include "host/rtl/object.h"

namespace host {

class TFiler;

class TPersistent : public TObject {
    HOST_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    // Copies Source into this object. The base asks Source to AssignTo this object;
    // when neither side knows the other, raises EConvertError
    // "Cannot assign a <source class> to a <this class>" ("nil" for no source).
    virtual void Assign(TPersistent* Source);
    // The dotted path by which the form designer and error messages name this object.
    virtual std::string GetNamePath() const;

    // Declares the unpublished properties that this object streams itself
    // (DefineProperty, DefineBinaryProperty on the filer).
    virtual void DefineProperties(TFiler* Filer);

protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual TPersistent* GetOwner() const { return nullptr; }
    [[noreturn]] void AssignError(TPersistent* Source);

    friend class TReader;
    friend class TWriter;
};

}  // namespace host
