// Unit Ryxforms: the fonts the form base classes give their dialogs.
#include "frame/ryxforms.h"

#include "host/graphics/graphics.h"

namespace ryx {

namespace {
void SetFormFont(host::TForm* Form, const char* Name, int Size) {
    Form->Font()->SetName(Name);
    Form->Font()->SetSize(Size);
    Form->Font()->SetStyle({});
}
}  // namespace

TryxSystemForm::TryxSystemForm(host::TComponent* AOwner) : TryxForm(AOwner) { SetFormFont(this, "MS Sans Serif", 8); }

TryxApplicationForm::TryxApplicationForm(host::TComponent* AOwner) : TryxForm(AOwner) {
    SetFormFont(this, "Arial", 10);
}

TryxnpApplicationForm::TryxnpApplicationForm(host::TComponent* AOwner) : TryxnpForm(AOwner) {
    SetFormFont(this, "Arial", 10);
}

}  // namespace ryx
