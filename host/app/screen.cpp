// TScreen and TMonitor: the forms and data modules, the active form and control, cursors, fonts, size and monitors.
#include <algorithm>

#include "host/app/app.h"
#include "host/controls/actnlist.h"
#include "host/controls/controls.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/rtl/lists.h"
#include "host/windows/windows.h"

namespace host {

namespace {

// The system cursors behind the framework's built-in cursor numbers. The drag,
// split and database-wait shapes have no system cursor of their own: they show
// the nearest system shape.
struct TBuiltinCursor {
    int Index;
    const char* Id;
};
const TBuiltinCursor kBuiltinCursors[] = {
    {crArrow, IDC_ARROW},       {crCross, IDC_CROSS},         {crIBeam, IDC_IBEAM},
    {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},       {crSizeNWSE, IDC_SIZENWSE},
    {crSizeWE, IDC_SIZEWE},     {crUpArrow, IDC_UPARROW},     {crHourGlass, IDC_WAIT},
    {crDrag, IDC_ARROW},        {crNoDrop, IDC_NO},           {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},     {crMultiDrag, IDC_ARROW},     {crSQLWait, IDC_WAIT},
    {crNo, IDC_NO},             {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
    {crHandPoint, IDC_HAND},    {crSizeAll, IDC_SIZEALL},
};

template <class T>
void EraseValue(std::vector<T*>& List, const void* Value) {
    List.erase(std::remove_if(List.begin(), List.end(), [Value](T* p) { return p == Value; }), List.end());
}

template <class T>
T* ItemAt(const std::vector<T*>& List, int Index) {
    if (Index < 0 || Index >= static_cast<int>(List.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return List[static_cast<size_t>(Index)];
}

BOOL CollectMonitor(HMONITOR Monitor, HDC, RECT*, LPARAM Data) {
    reinterpret_cast<std::vector<HMONITOR>*>(Data)->push_back(Monitor);
    return TRUE;
}

MONITORINFO InfoOf(HMONITOR Monitor) {
    MONITORINFO info;
    GetMonitorInfoA(Monitor, &info);
    return info;
}

}  // namespace

// ---- TMonitor ----

TRect TMonitor::BoundsRect() const { return InfoOf(FHandle).rcMonitor; }
TRect TMonitor::WorkareaRect() const { return InfoOf(FHandle).rcWork; }
int TMonitor::Width() const {
    TRect r = BoundsRect();
    return r.right - r.left;
}
int TMonitor::Height() const {
    TRect r = BoundsRect();
    return r.bottom - r.top;
}
bool TMonitor::Primary() const { return (InfoOf(FHandle).dwFlags & MONITORINFOF_PRIMARY) != 0; }

// ---- TScreen ----

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FFonts(std::make_unique<TStringList>()), FHintFont(std::make_unique<TFont>()) {
    FHintFont->SetName("Tahoma");
    FHintFont->SetSize(8);
    FHintFont->SetColor(clInfoText);
}

TScreen::~TScreen() {
    for (auto& c : FCursors)
        if (c.Owned && c.Handle != nullptr) DestroyCursor(c.Handle);
}

// Forms are the custom forms that are TForms, in the same order. (A form
// registers itself from its base constructor, before it is known to be a TForm,
// so the list is derived when asked.)
std::vector<TForm*> TScreen::FormList() const {
    std::vector<TForm*> forms;
    for (TCustomForm* f : FCustomForms)
        if (auto* form = dynamic_cast<TForm*>(f)) forms.push_back(form);
    return forms;
}

int TScreen::FormCount() const { return static_cast<int>(FormList().size()); }
TForm* TScreen::Forms(int Index) const { return ItemAt(FormList(), Index); }
TCustomForm* TScreen::CustomForms(int Index) const { return ItemAt(FCustomForms, Index); }
TDataModule* TScreen::DataModules(int Index) const { return ItemAt(FDataModules, Index); }

void TScreen::AddForm(TCustomForm* Form) {
    if (Form == nullptr || std::find(FCustomForms.begin(), FCustomForms.end(), Form) != FCustomForms.end()) return;
    FCustomForms.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    if (Form == nullptr) return;
    EraseValue(FCustomForms, Form);
    if (FActiveCustomForm == Form) FActiveCustomForm = nullptr;
    if (static_cast<TCustomForm*>(FActiveForm) == Form) FActiveForm = nullptr;
    if (FActiveControl == static_cast<TWinControl*>(Form)) FActiveControl = nullptr;
    UpdateLastActive();
}

void TScreen::AddDataModule(TDataModule* DataModule) {
    if (DataModule != nullptr &&
        std::find(FDataModules.begin(), FDataModules.end(), DataModule) == FDataModules.end())
        FDataModules.push_back(DataModule);
}

void TScreen::RemoveDataModule(TDataModule* DataModule) { EraseValue(FDataModules, DataModule); }

void TScreen::MoveToFront(TCustomForm* Form) {
    EraseValue(FCustomForms, Form);
    FCustomForms.insert(FCustomForms.begin(), Form);
}

void TScreen::FocusChanged(TCustomForm* Form, TWinControl* Control) {
    FActiveControl = Control;
    FActiveCustomForm = Form;
    if (Form != nullptr) {
        MoveToFront(Form);
        FActiveForm = dynamic_cast<TForm*>(Form);
    } else {
        FActiveForm = nullptr;
    }
    UpdateLastActive();
}

void TScreen::ControlDestroying(TControl* Control) {
    if (Control == nullptr) return;
    if (FActiveControl != nullptr && static_cast<TControl*>(FActiveControl) == Control) {
        FActiveControl = nullptr;
        UpdateLastActive();
    }
    if (Application != nullptr) Application->ControlDestroying(Control);
}

// The form change is told before the control change, so a listener of the
// control change already sees the new form.
void TScreen::UpdateLastActive() {
    if (ComponentState().Contains(csDestroying)) return;
    if (FLastActiveCustomForm != FActiveCustomForm) {
        FLastActiveCustomForm = FActiveCustomForm;
        OnActiveFormChange(this);
    }
    if (FLastActiveControl != FActiveControl) {
        FLastActiveControl = FActiveControl;
        OnActiveControlChange(this);
    }
}

// ---- cursors ----

void TScreen::LoadSystemCursors() {
    if (FCursorsLoaded) return;
    FCursorsLoaded = true;
    FCursors.push_back({crDefault, LoadCursorA(0, IDC_ARROW), false});
    FCursors.push_back({crNone, nullptr, false});
    for (const auto& c : kBuiltinCursors) FCursors.push_back({c.Index, LoadCursorA(0, c.Id), false});
}

HCURSOR TScreen::Cursors(int Index) {
    LoadSystemCursors();
    HCURSOR fallback = nullptr;
    for (const auto& c : FCursors) {
        if (c.Index == Index) return c.Handle;
        if (c.Index == crDefault) fallback = c.Handle;
    }
    return fallback;
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    LoadSystemCursors();
    auto it = std::find_if(FCursors.begin(), FCursors.end(), [Index](const TCursorRec& c) { return c.Index == Index; });
    if (Index == crDefault) {
        // The default cursor is always there: nullptr puts the arrow back.
        if (it->Owned && it->Handle != nullptr && it->Handle != Handle) DestroyCursor(it->Handle);
        it->Handle = Handle != nullptr ? Handle : LoadCursorA(0, IDC_ARROW);
        it->Owned = Handle != nullptr;
        return;
    }
    if (it != FCursors.end()) {
        if (it->Owned && it->Handle != nullptr && it->Handle != Handle) DestroyCursor(it->Handle);
        FCursors.erase(it);
    }
    if (Handle != nullptr) FCursors.push_back({Index, Handle, true});
}

void TScreen::SetCursor(int Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    if (Value == crDefault) {
        // Let the window under the mouse choose its cursor again (WM_SETCURSOR
        // follows the move the system makes for this).
        POINT p;
        GetCursorPos(&p);
        SetCursorPos(p.x, p.y);
    } else {
        host::SetCursor(Cursors(Value));
    }
}

// ---- size, fonts and monitors ----

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) return TRect{0, 0, Width(), Height()};
    return TRect{x, y, x + w, y + h};
}
int TScreen::DesktopWidth() const {
    TRect r = DesktopRect();
    return r.right - r.left;
}
int TScreen::DesktopHeight() const {
    TRect r = DesktopRect();
    return r.bottom - r.top;
}

TRect TScreen::WorkAreaRect() const {
    RECT r{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) r = RECT{0, 0, Width(), Height()};
    return r;
}
int TScreen::WorkAreaWidth() const {
    TRect r = WorkAreaRect();
    return r.right - r.left;
}
int TScreen::WorkAreaHeight() const {
    TRect r = WorkAreaRect();
    return r.bottom - r.top;
}

TStrings* TScreen::Fonts() {
    if (FFonts->Count() == 0) {
        std::vector<std::string> families = GetFontFamilies();
        std::sort(families.begin(), families.end());
        families.erase(std::unique(families.begin(), families.end()), families.end());
        for (const auto& f : families) FFonts->Add(f);
    }
    return FFonts.get();
}

void TScreen::ResetFonts() { FFonts->Clear(); }

// Re-reads the monitors; the objects stay the same while their handles do, so a
// TMonitor pointer handed out earlier stays valid until the desktop changes.
void TScreen::UpdateMonitors() {
    std::vector<HMONITOR> handles;
    EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&handles));
    bool same = handles.size() == FMonitors.size();
    for (size_t i = 0; same && i < handles.size(); ++i) same = FMonitors[i]->Handle() == handles[i];
    if (same) return;
    FMonitors.clear();
    for (size_t i = 0; i < handles.size(); ++i)
        FMonitors.push_back(std::make_unique<TMonitor>(handles[i], static_cast<int>(i)));
}

int TScreen::MonitorCount() {
    UpdateMonitors();
    return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
    if (FMonitors.empty()) UpdateMonitors();
    if (Index < 0 || Index >= static_cast<int>(FMonitors.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FMonitors[static_cast<size_t>(Index)].get();
}

namespace {
TMonitor* FindMonitor(TScreen* S, HMONITOR Handle) {
    for (int i = 0; i < S->MonitorCount(); ++i)
        if (S->Monitors(i)->Handle() == Handle) return S->Monitors(i);
    return S->MonitorCount() > 0 ? S->Monitors(0) : nullptr;
}
}  // namespace

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point) {
    return FindMonitor(this, host::MonitorFromPoint(Point, MONITOR_DEFAULTTONEAREST));
}
TMonitor* TScreen::MonitorFromRect(const TRect& Rect) {
    return FindMonitor(this, host::MonitorFromRect(&Rect, MONITOR_DEFAULTTONEAREST));
}
TMonitor* TScreen::MonitorFromWindow(HWND Wnd) {
    return FindMonitor(this, host::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST));
}

}  // namespace host
