// Unit Ryxutilw: window and system routines: registry strings, the browser, printing string lists and control images, the clipboard, control animation, and control and component look-ups.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "frame/ryxutilf.h"
#include "host/rtl/typinfo.h"

namespace host {
class TStrings;
class TFont;
class TBitmap;
class TControl;
class TWinControl;
class TCustomForm;
class TComponent;
}  // namespace host

namespace ryx {

// ---- registry and browser ----

// The default value of RootKey\SubKey (opened for querying values only), or ""
// when the key cannot be opened or its default value is empty or not a string.
std::string ryxGetRegString(uint32_t RootKey, const std::string& SubKey);

// Opens URL in the desktop's browser, handing it over as one argument (never
// through a command line, so no character of URL is interpreted). Style is
// kept for compatibility: the browser chooses its own window state. True when
// the browser was started; false for an empty URL or when no opener exists.
bool ryxLaunchBrowserAtURL(const std::string& URL, TryxShowWindowStyle Style = rswShowNormal);

// ---- printing ----

// Whether the system has no default printer: the "device" entry of the
// "windows" section of the system profile is empty and the host lists no
// printer either.
bool ryxNoDefaultPrinter();
// Prints Lines on the application's printer, one line per text row, starting a
// new page when a page is full; Font (nullptr: Courier New, 10 points) sets the
// text, Title the job's name, MarginMM the margin on every side in millimetres.
// With PageNumbers each page gets "Page n" at its foot. Returns the number of
// pages printed (at least one, an empty list prints an empty page).
int ryxPrintStringsFormat(host::TStrings* Lines, host::TFont* Font, const std::string& Title, int MarginMM,
                          bool PageNumbers);
int ryxPrintStrings(host::TStrings* Lines, host::TFont* Font = nullptr);
// A bitmap of the control as it looks on screen (the caller owns it).
std::unique_ptr<host::TBitmap> ryxGetControlBitmap(host::TWinControl* Control);
// Prints the control's image on one page, scaled to the page width inside a
// margin of MarginMM and keeping its proportions (never enlarged beyond the
// printer-to-screen resolution ratio).
void ryxPrintControlImage(host::TWinControl* Control, const std::string& Title = std::string(), int MarginMM = 15);

// ---- clipboard ----

// Puts S on the clipboard as text, replacing what was there.
void ryxStrToClip(const std::string& S);

// ---- control animation ----

// How ryxAnimateControl shows or hides a control: its bounds unrolled from (or
// rolled back to) one edge, or grown from (shrunk to) the centre.
HOST_ENUM(TryxAnimateStyle, rasRollLeftToRight, rasRollRightToLeft, rasRollTopToBottom, rasRollBottomToTop,
          rasCenter);

// Shows (or, with Hide, hides) Control over Duration milliseconds of the host
// clock in steps of about 15 ms, repainting after each step. The control ends
// at its original bounds, visible or hidden.
void ryxAnimateControl(host::TControl* Control, TryxAnimateStyle Style, bool Hide = false, int Duration = 200);
// Resizes Control to NewWidth x NewHeight over Duration milliseconds in even
// steps (its top-left corner stays).
void ryxTimedResizeControl(host::TControl* Control, int NewWidth, int NewHeight, int Duration = 200);
// Centres Control in its parent's client area (on the screen's work area when it
// has no parent).
void ryxCenterInParent(host::TControl* Control);

// ---- control and component look-ups ----

// Tells the form designer that the root of Component changed. Nothing happens
// unless that root is being designed; then the designer hook (when installed)
// is called with the root. Returns whether the hook was called.
bool ryxDesignerModified(host::TComponent* Component);
// Installs the designer hook (nullptr removes it); returns the previous one.
std::function<void(host::TComponent*)> ryxSetDesignerHook(std::function<void(host::TComponent*)> Hook);
// The nearest parent of Control (Control itself included) that is a form, or nullptr.
host::TCustomForm* ryxFirstFormParentOf(host::TControl* Control);
// The nearest parent of Control (itself included) that is a form or a frame.
host::TWinControl* ryxParentFormorFrameOf(host::TControl* Control);

// Whether Font needs storing: false only for the framework's default font
// ("MS Sans Serif", 8 points, no style, default pitch, window-text colour,
// character set 1).
bool ryxIsFontStored(host::TFont* Font);

}  // namespace ryx
