// The data-aware edit window over a real table: rows in field order, edit kinds, editing through it, read-only rules and colours, blob previews and their popup editing forms in every popup style.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dbcontrols/ryxedwin.h"
#include "host/app/app.h"
#include "host/app/clipbrd.h"
#include "host/app/responders.h"
#include "host/graphics/graphics.h"
#include "host/controls/dbctrls.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/rtl/clock.h"
#include "host/rtl/typinfo.h"
#include "host/windows/inputsim.h"
#include "host/windows/wintest.h"
#include "support/tempdir.h"

using namespace host;
using namespace ryx;

namespace {

class EditWinTest : public ::testing::Test {
protected:
    testsupport::TTempDir Temp;
    std::string OldCfg;
    std::unique_ptr<TTable> table;
    std::unique_ptr<TDataSource> ds;
    TForm* form = nullptr;
    TryxDBEditWin* win = nullptr;

    void SetUp() override {
        wintest::Reset();
        RecreateApplication();
        Clock::UseVirtual();
        OldCfg = DbiCfgGetPath();
        DbiCfgSetPath(Temp.File("dbi.cfg"));
        table = std::make_unique<TTable>(nullptr);
        table->SetDatabaseName(Temp.File("data.db"));
        table->SetTableName("PETS");
        table->FieldDefs()->Add("Id", ftInteger, 0, true);
        table->FieldDefs()->Add("Name", ftString, 20);
        table->FieldDefs()->Add("Weight", ftFloat);
        table->FieldDefs()->Add("Tame", ftBoolean);
        table->FieldDefs()->Add("Notes", ftMemo);
        table->FieldDefs()->Add("Photo", ftGraphic);
        table->FieldDefs()->Add("Data", ftBlob);
        table->IndexDefs()->Add("", "Id", {ixPrimary});
        table->CreateTable();
        table->Open();
        table->AppendRecord({Variant(1), Variant(std::string("Rex")), Variant(12.5), Variant(true),
                             Variant(std::string("barks\r\nloudly")), Variant(), Variant(std::string("AB\x01"))});
        table->First();
        ds = std::make_unique<TDataSource>(nullptr);
        ds->SetDataSet(table.get());
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(10, 10, 420, 340);
        win = new TryxDBEditWin(form);
        win->SetAlign(alClient);
        win->SetParent(form);
    }
    TryxDBBlobPreview* Preview(const char* FieldName) const {
        return dynamic_cast<TryxDBBlobPreview*>(win->EditOfField(table->FieldByName(FieldName)));
    }
    std::string Notes() const { return table->FieldByName("Notes")->AsString(); }
    // Posts, then reads the row back from the file.
    std::string StoredNotes() {
        if (table->State() != dsBrowse) table->Post();
        table->Close();
        table->Open();
        return Notes();
    }
    static void ClickOn(TControl* C, bool Double = false) {
        TPoint p = C->ClientToScreen(TPoint{C->Width() / 3, C->Height() / 2});
        Double ? Input::DoubleClick(p.x, p.y) : Input::Click(p.x, p.y);
        Input::ProcessAll();
    }
    // Types S over the whole text of E and leaves it with Tab.
    static void Retype(TWinControl* E, const std::string& S) {
        E->SetFocus();
        Input::ProcessAll();
        E->Perform(EM_SETSEL, 0, -1);
        Input::Type(S);
        Input::Key(VK_TAB);
        Input::ProcessAll();
    }
    // A modal popup's answer: replace the memo's text with Text, then press Button
    // ("OK", "Cancel") or, for "Escape", the Escape key.
    static TDialogHandler TypeThen(const std::string& Text, const std::string& Button) {
        return [Text, Button](TDialogInfo& Info) {
            auto* popup = dynamic_cast<TryxDBFieldPopup*>(Info.Form);
            auto* memo = popup != nullptr ? dynamic_cast<TDBMemo*>(popup->Editor()) : nullptr;
            EXPECT_NE(memo, nullptr);
            if (memo == nullptr) return mrCancel;
            // The whole text is replaced; the first key puts the record into edit state.
            Input::Call([memo] { memo->SelectAll(); });
            Input::Type(Text);
            if (Button == "Escape") Input::Key(VK_ESCAPE);
            else Input::Call([&Info, Button] { Info.Click(Button); });
            return mrNone;
        };
    }
    void TearDown() override {
        delete form;
        ds.reset();
        table.reset();
        DbiCfgSetPath(OldCfg);
        Input::Clear();
        RecreateApplication();
        wintest::Reset();
        Clock::UseReal();
    }
};

TEST_F(EditWinTest, RowsFollowTheFieldsAndEditTheRecord) {
    win->SetDataSource(ds.get());
    EXPECT_EQ(GetObjectProp(win, "DataSource"), ds.get());
    ASSERT_EQ(win->EditCount(), 7);
    const char* classes[] = {"TDBEdit",     "TDBEdit",           "TDBEdit",          "TDBCheckBox",
                             "TryxDBBlobPreview", "TryxDBBlobPreview", "TryxDBBlobPreview"};
    for (int i = 0; i < 7; ++i) {
        TField* f = table->Fields(i);
        EXPECT_EQ(win->Labels(i)->Caption(), f->DisplayLabel());
        EXPECT_EQ(win->Edits(i)->ClassName(), classes[i]);
        EXPECT_EQ(GetStrProp(win->Edits(i), "DataField"), f->FieldName());
        EXPECT_EQ(win->EditOfField(f), win->Edits(i));
        // Labels beside their edits, rows going down in field order.
        EXPECT_LT(win->Labels(i)->Left(), win->Edits(i)->Left());
        if (i > 0) {
            EXPECT_GT(win->Edits(i)->Top(), win->Edits(i - 1)->Top());
        }
    }
    form->Show();
    auto* name = static_cast<TDBEdit*>(win->Edits(1));
    EXPECT_EQ(name->Text(), "Rex");
    Retype(name, "Max");
    EXPECT_EQ(Screen->ActiveControl(), win->Edits(2));
    table->Post();
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Max");

    // The horizontal layout puts fields side by side with labels above.
    win->SetEditLayout(elHorizontal);
    EXPECT_EQ(win->Edits(1)->Top(), win->Edits(0)->Top());
    EXPECT_GT(win->Edits(1)->Left(), win->Edits(0)->Left());
    EXPECT_LT(win->Labels(0)->Top(), win->Edits(0)->Top());

    // Closing empties the window; opening fills it again; a field made invisible is left out.
    table->Close();
    EXPECT_EQ(win->EditCount(), 0);
    EXPECT_EQ(win->ControlCount(), 0);
    table->Open();
    EXPECT_EQ(win->EditCount(), 7);
}

TEST_F(EditWinTest, ReadOnlyRulesAndColours) {
    win->SetEditColor(clInfoBk);
    win->SetFieldReadOnly({rofEditReadOnly, rofEditColor});
    table->FieldByName("Id")->SetReadOnly(true);
    win->SetDataSource(ds.get());
    form->Show();
    EXPECT_EQ(GetOrdProp(win->Edits(0), "ReadOnly"), 1);
    EXPECT_EQ(win->Edits(0)->Color(), clBtnFace);
    EXPECT_EQ(GetOrdProp(win->Edits(1), "ReadOnly"), 0);
    EXPECT_EQ(win->Edits(1)->Color(), clInfoBk);

    // Typing into the read-only field's edit changes nothing.
    win->Edits(0)->SetFocus();
    Input::ProcessAll();
    Input::Type("9");
    Input::ProcessAll();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(static_cast<TDBEdit*>(win->Edits(0))->Text(), "1");

    // The whole window read-only, then back.
    win->SetReadOnly(true);
    for (int i = 0; i < win->EditCount(); ++i) EXPECT_EQ(GetOrdProp(win->Edits(i), "ReadOnly"), 1) << i;
    win->SetReadOnly(false);
    EXPECT_EQ(GetOrdProp(win->Edits(1), "ReadOnly"), 0);
    EXPECT_EQ(GetOrdProp(win->Edits(0), "ReadOnly"), 1);

    // Without rofEditColor a read-only edit keeps the edit colour.
    win->SetFieldReadOnly({rofEditReadOnly});
    EXPECT_EQ(win->Edits(0)->Color(), clInfoBk);

}

TEST_F(EditWinTest, ModalPopupWritesOnOKAndRestoresOnCancel) {
    win->SetDataSource(ds.get());
    win->SetPopupFormStyle(pfsModal);
    form->Show();
    // The previews: the memo's first line, the grid-style texts of other blobs.
    EXPECT_EQ(Preview("Notes")->Caption(), "barks ...");
    EXPECT_EQ(Preview("Photo")->Caption(), table->FieldByName("Photo")->DisplayText());
    EXPECT_EQ(Preview("Data")->Caption(), "(BLOB)");

    TDialogResponder responder;
    // A double click opens the popup; OK writes the text and leaves the record in edit state.
    responder.Then([](TDialogInfo& Info) {
        EXPECT_TRUE(Info.HasButton("OK"));
        EXPECT_TRUE(Info.HasButton("Cancel"));
        EXPECT_EQ(Info.Form->FormStyle(), fsNormal);
        EXPECT_NE(static_cast<TryxDBFieldPopup*>(Info.Form)->Editor()->Text().find("barks"), std::string::npos);
        return TypeThen("woofs", "OK")(Info);
    });
    ClickOn(Preview("Notes"), true);
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(Notes(), "woofs");
    EXPECT_EQ(Preview("Notes")->Caption(), "woofs");
    EXPECT_EQ(StoredNotes(), "woofs");

    // The record already being edited: Escape in the popup puts only the memo back.
    auto* name = static_cast<TDBEdit*>(win->EditOfField(table->FieldByName("Name")));
    Retype(name, "Max");
    responder.Then(TypeThen("growls", "Escape"));
    ClickOn(Preview("Notes")->Button());
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Max");
    EXPECT_EQ(Notes(), "woofs");

    // From browsing, Ctrl+Enter on the preview; Cancel leaves the record unedited.
    table->Cancel();
    Preview("Notes")->SetFocus();
    responder.Then(TypeThen("purrs", "Cancel"));
    Input::KeyDown(VK_CONTROL);
    Input::Key(VK_RETURN);
    Input::KeyUp(VK_CONTROL);
    Input::ProcessAll();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(StoredNotes(), "woofs");
    EXPECT_EQ(responder.Shown().size(), 3u);
    EXPECT_EQ(win->PopupCount(), 0);
}

TEST_F(EditWinTest, PopupsObeyTheReadOnlyRules) {
    win->SetPopupFormStyle(pfsModal);
    win->SetDataSource(ds.get());
    form->Show();
    TDialogResponder responder;
    // The window read-only, the field read-only, the dataset read-only.
    for (int round = 0; round < 3; ++round) {
        win->SetReadOnly(round == 0);
        table->FieldByName("Notes")->SetReadOnly(round == 1);
        if (round == 2) {
            table->Close();
            table->SetReadOnly(true);
            table->Open();
        }
        responder.Then([round](TDialogInfo& Info) {
            EXPECT_TRUE(Info.HasButton("Close")) << round;
            EXPECT_FALSE(Info.HasButton("OK")) << round;
            auto* popup = static_cast<TryxDBFieldPopup*>(Info.Form);
            EXPECT_TRUE(popup->ReadOnly());
            EXPECT_EQ(GetOrdProp(popup->Editor(), "ReadOnly"), 1);
            Input::Type("zzz");
            Input::Key(VK_ESCAPE);
            return mrNone;
        });
        EXPECT_EQ(win->ShowFieldPopup(table->FieldByName("Notes")), nullptr);
        EXPECT_EQ(table->State(), dsBrowse) << round;
        EXPECT_EQ(Notes(), "barks\r\nloudly") << round;
    }
    EXPECT_EQ(responder.Shown().size(), 3u);
}

TEST_F(EditWinTest, NonModalPopupStyles) {
    win->SetDataSource(ds.get());
    form->Show();
    TField* notes = table->FieldByName("Notes");
    struct TCase {
        TryxPopupFormStyle Style;
        TFormStyle Expected;
    } cases[] = {{pfsNormal, fsNormal}, {pfsStayOnTop, fsStayOnTop}, {pfsMDIChild, fsNormal}};
    for (const TCase& c : cases) {
        win->SetPopupFormStyle(c.Style);
        TryxDBFieldPopup* popup = win->ShowFieldPopup(notes);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->FormStyle(), c.Expected);
        EXPECT_EQ(popup->Owner(), form);
        EXPECT_TRUE(popup->Visible());
        // One popup per field.
        EXPECT_EQ(win->ShowFieldPopup(notes), popup);
        EXPECT_EQ(win->PopupCount(), 1);
        // Escape closes it and puts the field back.
        popup->Editor()->SetFocus();
        Input::ProcessAll();
        Input::Type("hiss");
        Input::Key(VK_ESCAPE);
        Input::ProcessAll();
        EXPECT_EQ(Notes(), "barks\r\nloudly");
        EXPECT_EQ(win->PopupCount(), 0);
        EXPECT_EQ(win->FieldPopup(notes), nullptr);
    }
    // Escape with nothing typed (a dialog key, not the memo's) closes it too.
    win->ShowFieldPopup(notes)->Editor()->SetFocus();
    Input::Key(VK_ESCAPE);
    Input::ProcessAll();
    EXPECT_EQ(win->PopupCount(), 0);

    // With an MDI frame as the main form the popup is one of its children; Close writes.
    TForm* frame = nullptr;
    Application->CreateForm(TForm::StaticClass(), frame);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 600, 400);
    frame->Show();
    win->SetPopupFormStyle(pfsMDIChild);
    TryxDBFieldPopup* popup = win->ShowFieldPopup(notes);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->FormStyle(), fsMDIChild);
    EXPECT_EQ(GetParent(popup->Handle()), frame->ClientHandle());
    popup->Editor()->SetFocus();
    Input::ProcessAll();
    static_cast<TDBMemo*>(popup->Editor())->SelectAll();
    Input::Type("meows");
    Input::ProcessAll();
    ClickOn(static_cast<TControl*>(popup->FindComponent("btnClose")));
    EXPECT_EQ(win->PopupCount(), 0);
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(StoredNotes(), "meows");
}

TEST_F(EditWinTest, PopupsGoWithTheirDataSourceAndWindow) {
    win->SetDataSource(ds.get());
    form->Show();
    // Other blobs: a byte count and a hex view, nothing editable.
    TryxDBFieldPopup* bytes = win->ShowFieldPopup(table->FieldByName("Data"));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->Editor()->ClassName(), "TMemo");
    EXPECT_EQ(GetOrdProp(bytes->Editor(), "ReadOnly"), 1);
    std::string dump = bytes->Editor()->Text();
    EXPECT_EQ(dump.rfind("3 bytes", 0), 0u) << dump;
    EXPECT_NE(dump.find("41 42 01"), std::string::npos) << dump;
    ASSERT_NE(win->ShowFieldPopup(table->FieldByName("Notes")), nullptr);
    EXPECT_EQ(win->PopupCount(), 2);
    EXPECT_EQ(win->ShowFieldPopup(table->FieldByName("Name")), nullptr);  // a plain edit needs none

    // Changing the data source closes them.
    win->SetDataSource(nullptr);
    EXPECT_EQ(win->PopupCount(), 0);
    win->SetDataSource(ds.get());

    // A modal popup whose dataset closes under it ends cancelled; the window carries on.
    win->SetPopupFormStyle(pfsModal);
    TDialogResponder responder;
    responder.Then([this](TDialogInfo&) {
        table->Close();
        return mrNone;
    });
    ClickOn(Preview("Notes"), true);
    EXPECT_EQ(win->EditCount(), 0);
    EXPECT_EQ(win->PopupCount(), 0);
    table->Open();
    EXPECT_EQ(win->EditCount(), 7);

    // Freeing the window's form with a popup open.
    win->SetPopupFormStyle(pfsNormal);
    ASSERT_NE(win->ShowFieldPopup(table->FieldByName("Notes")), nullptr);
    delete form;
    Input::ProcessAll();
    table->Edit();
    table->FieldByName("Notes")->SetAsString("still fine");
    table->Post();

    // Freeing the dataset with a popup open.
    form = new TForm(nullptr);
    win = new TryxDBEditWin(form);
    win->SetParent(form);
    win->SetDataSource(ds.get());
    form->Show();
    ASSERT_NE(win->ShowFieldPopup(table->FieldByName("Notes")), nullptr);
    table.reset();
    Input::ProcessAll();
    EXPECT_EQ(win->PopupCount(), 0);
    EXPECT_EQ(win->EditCount(), 0);
}

TEST_F(EditWinTest, GraphicPopupPastesAndLooksRight) {
    win->SetDataSource(ds.get());
    win->SetPopupFormStyle(pfsModal);
    form->Show();
    TBitmap red;
    red.SetWidth(24);
    red.SetHeight(16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(TRect{0, 0, 24, 16});
    Clipboard()->Assign(&red);
    TDialogResponder responder;
    responder.Then([](TDialogInfo& Info) {
        EXPECT_EQ(static_cast<TryxDBFieldPopup*>(Info.Form)->Editor()->ClassName(), "TDBImage");
        Info.Click("Paste");
        Info.Click("OK");
        return mrNone;
    });
    ClickOn(Preview("Photo")->Button());
    EXPECT_EQ(table->State(), dsEdit);
    table->Post();
    table->Close();
    table->Open();
    auto* photo = static_cast<TBlobField*>(table->FieldByName("Photo"));
    EXPECT_GT(photo->BlobSize(), 24 * 16);
    EXPECT_EQ(Preview("Photo")->Caption(), photo->DisplayText());

    // The preview paints its text left of the ellipsis button, in the edit colour.
    TryxDBBlobPreview* notes = Preview("Notes");
    TPoint inside = form->ScreenToClient(notes->ClientToScreen(TPoint{notes->Width() - 40, 4}));
    EXPECT_EQ(wintest::ClientPixel(form->Handle(), inside.x, inside.y), static_cast<uint32_t>(ColorToRGB(clWindow)));
}

}  // namespace
