// Shared set-up of the controls tests: a fresh window manager, application and virtual clock, and small test controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/app/app.h"
#include "host/controls/forms.h"
#include "host/rtl/clock.h"
#include "host/windows/inputsim.h"
#include "host/windows/wintest.h"

namespace ctltest {

using namespace host;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        wintest::Reset();
        RecreateApplication();
        Clock::UseVirtual();
    }
    void TearDown() override {
        Input::Clear();
        RecreateApplication();
        wintest::Reset();
        Clock::UseReal();
    }
};

// A windowed control that takes the focus, fills itself with one colour and logs
// what it is told.
class TProbe : public TCustomControl {
    HOST_CLASS(TProbe, TCustomControl)
public:
    explicit TProbe(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        FControlStyle.Include(csAcceptsControls);
    }
    TColor Fill = clWhite;
    std::vector<std::string>* Log = nullptr;
    bool TakeDialogKeys = false;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(ClientRect());
    }

private:
    void Note(const std::string& S) {
        if (Log != nullptr) Log->push_back(Name() + "." + S);
    }
    void CMEnabledChanged(TMessage& M) {
        Note("enabled");
        Inherited(M);
    }
    void CMFontChanged(TMessage& M) {
        Note("font");
        Inherited(M);
    }
    void CMColorChanged(TMessage& M) {
        Note("color");
        Inherited(M);
    }
    void CMVisibleChanged(TMessage& M) {
        Note("visible");
        Inherited(M);
    }
    void CMTextChanged(TMessage& M) {
        Note("text");
        Inherited(M);
    }
    void CMEnter(TMessage& M) {
        Note("enter");
        Inherited(M);
    }
    void CMExit(TMessage& M) {
        Note("exit");
        Inherited(M);
    }
    void CMDialogKey(TWMKey& M) {
        if (TakeDialogKeys && (M.CharCode() == 13 || M.CharCode() == 27)) {
            Note(M.CharCode() == 13 ? "default" : "cancel");
            M.Result = 1;
            return;
        }
        Inherited(M);
    }
    HOST_MESSAGES(on(CM_ENABLEDCHANGED, &TProbe::CMEnabledChanged), on(CM_FONTCHANGED, &TProbe::CMFontChanged),
                  on(CM_COLORCHANGED, &TProbe::CMColorChanged), on(CM_VISIBLECHANGED, &TProbe::CMVisibleChanged),
                  on(CM_TEXTCHANGED, &TProbe::CMTextChanged), on(CM_ENTER, &TProbe::CMEnter),
                  on(CM_EXIT, &TProbe::CMExit), on(CM_DIALOGKEY, &TProbe::CMDialogKey))
};

// A graphic control that fills its bounds (and, when Spill, far beyond them).
class TSwatch : public TGraphicControl {
    HOST_CLASS(TSwatch, TGraphicControl)
public:
    explicit TSwatch(TComponent* AOwner) : TGraphicControl(AOwner) {}
    TColor Fill = clRed;
    bool Spill = false;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(Fill);
        TRect r = ClientRect();
        if (Spill) r = TRect{-500, -500, 1500, 1500};
        Canvas()->FillRect(r);
    }
};

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, int L, int T_, int W, int H, const std::string& Name = "") {
    auto* c = new T(Owner);
    if (!Name.empty()) c->SetName(Name);
    c->SetBounds(L, T_, W, H);
    c->SetParent(Parent);
    return c;
}

inline uint32_t Rgb(TColor C) {
    int32_t v = ColorToRGB(C);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

}  // namespace ctltest
