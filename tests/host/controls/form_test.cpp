// Forms: show, close actions, release from an event, modal forms driven by responders and by input, form files, MDI.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/app/responders.h"
#include "host/rtl/resources.h"
#include "test_controls.h"

namespace ctltest {
namespace {

using Log = std::vector<std::string>;

class FormTest : public ControlsTest {};

// A button-like windowed control: a click sets the form's modal result.
class TResultButton : public TProbe {
    HOST_CLASS(TResultButton, TProbe)
public:
    explicit TResultButton(TComponent* AOwner) : TProbe(AOwner) {}
    int Result = mrNone;
    void Click() override {
        TProbe::Click();
        if (Result != mrNone) GetParentForm()->SetModalResult(Result);
    }
};

TEST_F(FormTest, ShowCloseActionsAndRelease) {
    Log log;
    auto* form = new TForm(nullptr);
    form->SetCaption("First");
    form->OnShow = [&](TObject*) { log.push_back("show"); };
    form->OnActivate = [&](TObject*) { log.push_back("activate"); };
    form->OnHide = [&](TObject*) { log.push_back("hide"); };
    form->OnCloseQuery = [&](TObject*, bool& Can) { log.push_back("query"); Can = log.size() >= 4; };
    TCloseAction action = caHide;
    form->OnClose = [&](TObject*, TCloseAction& A) { log.push_back("close"); A = action; };
    form->Show();
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(form->Active());
    EXPECT_EQ(GetWindowTextStr(form->Handle()), "First");
    form->Close();  // refused by OnCloseQuery
    EXPECT_TRUE(form->Visible());
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(log, (Log{"show", "activate", "query", "query", "close", "hide"}));

    action = caNone;
    form->Show();
    form->Close();
    EXPECT_TRUE(form->Visible());
    action = caMinimize;
    form->Close();
    EXPECT_EQ(form->WindowState(), wsMinimized);

    // caFree from a click on the form's own control: the form goes once the queue runs,
    // and a second Release is harmless.
    action = caFree;
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    auto* button = Make<TProbe>(form, form, 0, 0, 50, 20);
    button->OnClick = [&](TObject*) {
        form->Close();
        form->Release();
    };
    form->SetWindowState(wsNormal);
    int before = Screen->FormCount();
    button->Click();
    EXPECT_FALSE(destroyed);
    Input::ProcessAll();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Screen->FormCount(), before - 1);
}

TEST_F(FormTest, PositionBordersAndActiveControl) {
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 200, 100);
    form->SetPosition(poScreenCenter);
    form->SetBorderStyle(bsDialog);
    form->SetBorderIcons({biSystemMenu});
    auto* edit = Make<TProbe>(form, form, 0, 0, 50, 20);
    auto* hidden = Make<TProbe>(form, form, 0, 30, 50, 20);
    hidden->SetVisible(false);
    EXPECT_THROW(form->SetActiveControl(hidden), EInvalidOperation);
    form->SetActiveControl(edit);
    form->Show();
    EXPECT_EQ(form->Left(), (1024 - 200) / 2);
    EXPECT_EQ(form->Top(), (768 - 100) / 2);
    LONG_PTR style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(edit->Focused());
    // The client size excludes the frame and caption.
    EXPECT_LT(form->ClientHeight(), 100);
    form->SetClientHeight(80);
    EXPECT_EQ(form->ClientHeight(), 80);
    form->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    delete form;
}

TEST_F(FormTest, ShowModalThroughResponderAndInput) {
    auto* dlg = new TForm(nullptr);
    dlg->SetName("AskForm");
    dlg->SetCaption("Ask");
    dlg->SetBounds(50, 50, 200, 120);
    auto* ok = Make<TResultButton>(dlg, dlg, 10, 10, 60, 25);
    ok->SetCaption("&OK");
    ok->Result = mrOk;
    bool shown = false;
    dlg->OnShow = [&](TObject*) { shown = true; };
    {
        TDialogResponder responder;
        responder.Answer(mrYes).Click("OK");
        EXPECT_EQ(dlg->ShowModal(), mrYes);
        EXPECT_TRUE(shown);
        EXPECT_FALSE(dlg->Visible());
        EXPECT_EQ(dlg->ShowModal(), mrOk);  // by clicking the OK control
        ASSERT_EQ(responder.Shown().size(), 2u);
        EXPECT_EQ(responder.Shown()[0].Caption, "Ask");
    }
    {
        // The responder lets the loop run; the person clicks the OK control.
        TDialogResponder responder;
        responder.Then([&](TDialogInfo&) {
            TPoint p = ok->ClientToScreen(TPoint{5, 5});
            Input::Click(p.x, p.y);
            return mrNone;
        });
        EXPECT_EQ(dlg->ShowModal(), mrOk);
        // Nothing in the script: the loop ends with mrCancel instead of hanging.
        responder.Then([](TDialogInfo&) { return mrNone; });
        EXPECT_EQ(dlg->ShowModal(), mrCancel);
    }
    dlg->Show();
    EXPECT_THROW(dlg->ShowModal(), EInvalidOperation);
    delete dlg;
}

class TFileForm : public TForm {
    HOST_CLASS(TFileForm, TForm)
public:
    explicit TFileForm(TComponent* AOwner) : TForm(AOwner) {}
    int Created = 0;
    void FormCreate(TObject*) { ++Created; }
    HOST_PUBLISHED(method("FormCreate", &TFileForm::FormCreate))
};

struct TFormModule : TResourceModule {
    std::map<std::string, std::string> Forms;
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        if (Type != "RCDATA") return false;
        auto it = Forms.find(Name);
        if (it == Forms.end()) return false;
        Out.Data = reinterpret_cast<const unsigned char*>(it->second.data());
        Out.Size = it->second.size();
        return true;
    }
};

TEST_F(FormTest, FormFromFormFileAndMDI) {
    RegisterClasses({TFileForm::StaticClass(), TProbe::StaticClass(), TSwatch::StaticClass()});
    auto module = std::make_unique<TFormModule>();
    module->Forms["TFILEFORM"] =
        "object FileForm: TFileForm\n"
        "  Left = 30\n  Top = 40\n  Width = 300\n  Height = 200\n"
        "  Caption = 'From a file'\n  ActiveControl = Right\n  OnCreate = FormCreate\n"
        "  object Bar: TProbe\n    Left = 0\n    Top = 0\n    Width = 10\n    Height = 24\n    Align = alTop\n"
        "    object Mark: TSwatch\n      Left = 2\n      Top = 2\n      Width = 8\n      Height = 8\n    end\n"
        "  end\n"
        "  object Right: TProbe\n    Width = 60\n    Height = 10\n    Align = alRight\n    TabOrder = 1\n  end\n"
        "end\n";
    HMODULE h = RegisterResourceModule(std::move(module));
    AddFormResourceModule(h);
    auto* form = static_cast<TFileForm*>(TFileForm::StaticClass()->Create<TComponent>(static_cast<TComponent*>(Application)));
    EXPECT_EQ(form->Created, 1);
    EXPECT_EQ(form->Caption(), "From a file");
    auto* bar = static_cast<TProbe*>(form->FindComponent("Bar"));
    auto* right = static_cast<TProbe*>(form->FindComponent("Right"));
    ASSERT_TRUE(bar != nullptr && right != nullptr);
    EXPECT_EQ(bar->Parent(), form);
    EXPECT_EQ(form->FindComponent("Mark")->Is<TSwatch>(), true);
    EXPECT_EQ(static_cast<TControl*>(form->FindComponent("Mark"))->Parent(), bar);
    TRect client = form->ClientRect();
    EXPECT_EQ(bar->BoundsRect(), (TRect{0, 0, client.right, 24}));
    EXPECT_EQ(right->BoundsRect(), (TRect{client.right - 60, 24, client.right, client.bottom}));
    EXPECT_EQ(form->ActiveControl(), right);
    form->Show();
    EXPECT_TRUE(right->Focused());
    RemoveFormResourceModule(h);
    UnregisterResourceModule(h);

    // MDI: a frame form as the main form, children inside its client window.
    TForm* frame = nullptr;
    Application->CreateForm(TForm::StaticClass(), frame);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 600, 400);
    frame->Show();
    ASSERT_NE(frame->ClientHandle(), nullptr);
    auto* c1 = new TForm(Application);
    c1->SetFormStyle(fsMDIChild);
    c1->Show();
    auto* c2 = new TForm(Application);
    c2->SetFormStyle(fsMDIChild);
    c2->Show();
    EXPECT_EQ(GetParent(c1->Handle()), frame->ClientHandle());
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_EQ(frame->ActiveMDIChild(), c2);
    c1->SetFocus();
    EXPECT_EQ(frame->ActiveMDIChild(), c1);
    auto* plain = new TForm(nullptr);
    EXPECT_EQ(plain->ActiveMDIChild(), nullptr);
    EXPECT_EQ(plain->ClientHandle(), nullptr);
    delete plain;
}

}  // namespace
}  // namespace ctltest
