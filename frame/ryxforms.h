// Unit Ryxforms: the form base classes of the package's dialogs (system, application and navigator forms) and the way popup editing forms are shown.
#pragma once

#include "host/controls/forms.h"

namespace ryx {

// How a popup editing form is shown.
HOST_ENUM(TryxPopupFormStyle, pfsNormal, pfsModal, pfsMDIChild, pfsStayOnTop);

class TryxForm : public host::TForm {
    HOST_CLASS(TryxForm, host::TForm)
public:
    explicit TryxForm(host::TComponent* AOwner) : host::TForm(AOwner) {}
};

// System dialogs: "MS Sans Serif", 8 points, no style.
class TryxSystemForm : public TryxForm {
    HOST_CLASS(TryxSystemForm, TryxForm)
public:
    explicit TryxSystemForm(host::TComponent* AOwner);
};

// Application dialogs: "Arial", 10 points, no style.
class TryxApplicationForm : public TryxForm {
    HOST_CLASS(TryxApplicationForm, TryxForm)
public:
    explicit TryxApplicationForm(host::TComponent* AOwner);
};

class TryxnpForm : public TryxForm {
    HOST_CLASS(TryxnpForm, TryxForm)
public:
    explicit TryxnpForm(host::TComponent* AOwner) : TryxForm(AOwner) {}
};

// Navigator application forms: "Arial", 10 points, no style.
class TryxnpApplicationForm : public TryxnpForm {
    HOST_CLASS(TryxnpApplicationForm, TryxnpForm)
public:
    explicit TryxnpApplicationForm(host::TComponent* AOwner);
};

}  // namespace ryx
