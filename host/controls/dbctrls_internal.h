// Helpers the data-aware controls share: setting up and releasing a field link, writing on exit, raising a failed write afterwards.
#pragma once

#include <exception>
#include <memory>

#include "host/db/db.h"

namespace host {
class TWinControl;
}

namespace host::dbctrls_internal {

// Makes the field link of Control (the link focuses Control when its field asks).
std::unique_ptr<TFieldDataLink> MakeFieldLink(TComponent* Control);
// Cuts the link's events and frees it (first thing a control's destructor does).
void ReleaseFieldLink(std::unique_ptr<TFieldDataLink>& Link);
// Writes the control's change into the field as the focus leaves Control. On an error
// keeps it in Pending, posts CM_DBFIELDERROR to Control and returns false.
bool UpdateOnExit(TWinControl* Control, TFieldDataLink* Link, std::exception_ptr& Pending);
// Answers CM_DBFIELDERROR: focuses Control again and raises the pending error (the
// message loop hands it to the application's error box).
void RaisePending(TWinControl* Control, std::exception_ptr& Pending);
// Refuses (beeps and clears Key) a printable character the field does not take.
bool RefuseFieldChar(TField* Field, char& Key);
// True for the characters that change a text (printable ones, Backspace, Ctrl+V, Ctrl+X).
inline bool IsEditChar(char Key) {
    unsigned char c = static_cast<unsigned char>(Key);
    return c >= 32 || c == 8 || c == 22 || c == 24;
}

}  // namespace host::dbctrls_internal
