// Unit Ryxutilw: registry strings, the browser, printing, the clipboard, control animation and look-ups.
#include "frame/ryxutilw.h"

#include <algorithm>
#include <vector>

#include "host/app/app.h"
#include "host/app/clipbrd.h"
#include "host/app/inifiles.h"
#include "host/app/printers.h"
#include "host/controls/forms.h"
#include "host/graphics/graphics.h"
#include "host/os/shell.h"
#include "host/os/winreg.h"
#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"

namespace ryx {

using namespace host;

// ---- registry and browser ----

std::string ryxGetRegString(uint32_t RootKey, const std::string& SubKey) {
    HKEY key = 0;
    if (RegOpenKeyExA(RootKey, SubKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::string();
    char buffer[512];
    DWORD type = 0, size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return std::string();
    // The stored size counts the closing NUL; a value written without one is taken whole.
    size_t len = std::min<size_t>(size, sizeof buffer);
    return std::string(buffer, std::find(buffer, buffer + len, '\0'));
}

bool ryxLaunchBrowserAtURL(const std::string& URL, TryxShowWindowStyle) { return OpenURL(URL); }

// ---- printing ----

bool ryxNoDefaultPrinter() {
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof device);
    if (device[0] != '\0') return false;
    return Printer()->Printers()->Count() == 0;
}

int ryxPrintStringsFormat(TStrings* Lines, TFont* Font, const std::string& Title, int MarginMM, bool PageNumbers) {
    if (Lines == nullptr) throw EInvalidOperation("ryxPrintStrings: no lines to print");
    TPrinter* printer = Printer();
    printer->SetTitle(Title.empty() ? (Application ? Application->Title() : std::string()) : Title);
    printer->BeginDoc();
    try {
        TCanvas* canvas = printer->Canvas();
        auto setFont = [&] {
            if (Font != nullptr) {
                canvas->Font()->Assign(Font);
            } else {
                canvas->Font()->SetName("Courier New");
                canvas->Font()->SetSize(10);
            }
            // Sizes in points must come out at the printer's resolution.
            int size = canvas->Font()->Size();
            canvas->Font()->SetPixelsPerInch(printer->Resolution());
            canvas->Font()->SetSize(size);
        };
        setFont();
        const int margin = std::max(0, MarginMM) * printer->Resolution() * 10 / 254;
        const int lineHeight = std::max(1, canvas->TextHeight("Ag"));
        const int footer = PageNumbers ? 2 * lineHeight : 0;
        const int bottom = printer->PageHeight() - margin - footer;
        int pages = 1;
        int y = margin;
        auto finishPage = [&] {
            if (PageNumbers) {
                std::string text = "Page " + std::to_string(pages);
                canvas->TextOut((printer->PageWidth() - canvas->TextWidth(text)) / 2,
                                printer->PageHeight() - margin - lineHeight, text);
            }
        };
        for (int i = 0; i < Lines->Count(); ++i) {
            if (y + lineHeight > bottom && y > margin) {
                finishPage();
                printer->NewPage();
                setFont();
                ++pages;
                y = margin;
            }
            canvas->TextOut(margin, y, Lines->Strings(i));
            y += lineHeight;
        }
        finishPage();
        printer->EndDoc();
        return pages;
    } catch (...) {
        if (printer->Printing()) printer->Abort();
        throw;
    }
}

int ryxPrintStrings(TStrings* Lines, TFont* Font) { return ryxPrintStringsFormat(Lines, Font, std::string(), 15, false); }

std::unique_ptr<TBitmap> ryxGetControlBitmap(TWinControl* Control) {
    if (Control == nullptr) throw EInvalidOperation("ryxGetControlBitmap: no control");
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetWidth(std::max(1, Control->Width()));
    bitmap->SetHeight(std::max(1, Control->Height()));
    Control->PaintTo(bitmap->Canvas(), 0, 0);
    return bitmap;
}

void ryxPrintControlImage(TWinControl* Control, const std::string& Title, int MarginMM) {
    std::unique_ptr<TBitmap> image = ryxGetControlBitmap(Control);
    TPrinter* printer = Printer();
    printer->SetTitle(Title.empty() ? Control->Name() : Title);
    printer->BeginDoc();
    try {
        const int margin = std::max(0, MarginMM) * printer->Resolution() * 10 / 254;
        const int64_t room = std::max(1, printer->PageWidth() - 2 * margin);
        const int64_t scaleCap = std::max(1, printer->Resolution() / 96);
        int64_t width = std::min<int64_t>(room, image->Width() * scaleCap);
        int64_t height = image->Height() * width / std::max(1, image->Width());
        printer->Canvas()->StretchDraw(TRect{margin, margin, static_cast<int>(margin + width),
                                             static_cast<int>(margin + height)},
                                       image.get());
        printer->EndDoc();
    } catch (...) {
        if (printer->Printing()) printer->Abort();
        throw;
    }
}

// ---- clipboard ----

void ryxStrToClip(const std::string& S) { Clipboard()->SetAsText(S); }

// ---- control animation ----

namespace {

// Runs Step(fraction) for fractions growing to 1 over Duration ms of the host
// clock, repainting the control after each step and showing it for its share
// of the time.
template <class F>
void Animate(TControl* Control, int Duration, F&& Step) {
    const int steps = std::max(1, Duration / 15);
    const uint32_t start = GetTickCount();
    for (int i = 1; i <= steps; ++i) {
        Step(static_cast<double>(i) / steps);
        Control->Update();
        WaitUntilTick(start + static_cast<uint32_t>(static_cast<int64_t>(Duration) * i / steps));
    }
}

// The part of Full that is visible at Fraction of a roll in Style.
TRect RollRect(const TRect& Full, TryxAnimateStyle Style, double Fraction) {
    const int w = Full.right - Full.left, h = Full.bottom - Full.top;
    const int pw = static_cast<int>(w * Fraction + 0.5), ph = static_cast<int>(h * Fraction + 0.5);
    switch (Style) {
        case rasRollLeftToRight: return {Full.left, Full.top, Full.left + pw, Full.bottom};
        case rasRollRightToLeft: return {Full.right - pw, Full.top, Full.right, Full.bottom};
        case rasRollTopToBottom: return {Full.left, Full.top, Full.right, Full.top + ph};
        case rasRollBottomToTop: return {Full.left, Full.bottom - ph, Full.right, Full.bottom};
        case rasCenter:
        default: {
            const int cx = Full.left + w / 2, cy = Full.top + h / 2;
            return {cx - pw / 2, cy - ph / 2, cx - pw / 2 + pw, cy - ph / 2 + ph};
        }
    }
}

}  // namespace

void ryxAnimateControl(TControl* Control, TryxAnimateStyle Style, bool Hide, int Duration) {
    if (Control == nullptr) return;
    if (Hide ? !Control->Visible() : Control->Visible()) return;
    const TRect full = Control->BoundsRect();
    auto place = [&](double f) {
        TRect r = RollRect(full, Style, Hide ? 1.0 - f : f);
        Control->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    };
    try {
        if (!Hide) {
            place(0.0);
            Control->SetVisible(true);
        }
        Animate(Control, Duration, place);
    } catch (...) {
        Control->SetBoundsRect(full);
        throw;
    }
    if (Hide) Control->SetVisible(false);
    Control->SetBoundsRect(full);
}

void ryxTimedResizeControl(TControl* Control, int NewWidth, int NewHeight, int Duration) {
    if (Control == nullptr) return;
    const int w0 = Control->Width(), h0 = Control->Height();
    Animate(Control, Duration, [&](double f) {
        Control->SetBounds(Control->Left(), Control->Top(), w0 + static_cast<int>((NewWidth - w0) * f),
                           h0 + static_cast<int>((NewHeight - h0) * f));
    });
    Control->SetBounds(Control->Left(), Control->Top(), NewWidth, NewHeight);
}

void ryxCenterInParent(TControl* Control) {
    if (Control == nullptr) return;
    TRect area = Control->Parent() ? Control->Parent()->ClientRect() : Screen->WorkAreaRect();
    const int w = area.right - area.left, h = area.bottom - area.top;
    Control->SetBounds(area.left + (w - Control->Width()) / 2, area.top + (h - Control->Height()) / 2,
                       Control->Width(), Control->Height());
}

// ---- control and component look-ups ----

namespace {
std::function<void(TComponent*)>& DesignerHook() {
    static std::function<void(TComponent*)> hook;
    return hook;
}
}  // namespace

bool ryxDesignerModified(TComponent* Component) {
    if (Component == nullptr) return false;
    TComponent* root = Component;
    while (root->Owner() != nullptr && root->Owner() != Application) root = root->Owner();
    if (!root->ComponentState().Contains(csDesigning) || !DesignerHook()) return false;
    DesignerHook()(root);
    return true;
}

std::function<void(TComponent*)> ryxSetDesignerHook(std::function<void(TComponent*)> Hook) {
    auto old = std::move(DesignerHook());
    DesignerHook() = std::move(Hook);
    return old;
}

TCustomForm* ryxFirstFormParentOf(TControl* Control) {
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
    return nullptr;
}

TWinControl* ryxParentFormorFrameOf(TControl* Control) {
    for (TControl* c = Control; c != nullptr; c = c->Parent())
        if (dynamic_cast<TCustomForm*>(c) != nullptr || dynamic_cast<TCustomFrame*>(c) != nullptr)
            return static_cast<TWinControl*>(c);
    return nullptr;
}

bool ryxIsFontStored(TFont* Font) {
    if (Font == nullptr) return false;
    TFont plain;
    return !(Font->Name() == plain.Name() && Font->Size() == plain.Size() && Font->Style() == plain.Style() &&
             Font->Pitch() == plain.Pitch() && Font->Color() == plain.Color() && Font->Charset() == 1);
}

}  // namespace ryx
