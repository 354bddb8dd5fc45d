// Data-aware controls driven as a person would over a real table: typing, Tab, Escape, clicks, conversion errors, read-only refusal, lookups, the clipboard, focus and RTTI.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "host/app/clipbrd.h"
#include "host/app/responders.h"
#include "host/controls/dbctrls.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/rtl/streams.h"
#include "host/rtl/typinfo.h"
#include "support/tempdir.h"
#include "test_controls.h"

namespace ctltest {
namespace {

class DBCtrlsTest : public ControlsTest {
protected:
    testsupport::TTempDir Temp;
    std::string OldCfg;
    TForm* form = nullptr;
    std::unique_ptr<TTable> table, cats;
    std::unique_ptr<TDataSource> ds, catSource;

    void SetUp() override {
        ControlsTest::SetUp();
        OldCfg = DbiCfgGetPath();
        DbiCfgSetPath(Temp.File("dbi.cfg"));
        MakeTables();
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(10, 10, 520, 400);
    }
    void TearDown() override {
        delete form;
        ds.reset();
        catSource.reset();
        table.reset();
        cats.reset();
        DbiCfgSetPath(OldCfg);
        ControlsTest::TearDown();
    }
    std::string Db() const { return Temp.File("data.db"); }

    // THINGS: one row per test case; CATS: the lookup list.
    void MakeTables() {
        cats = std::make_unique<TTable>(nullptr);
        cats->SetDatabaseName(Db());
        cats->SetTableName("CATS");
        cats->FieldDefs()->Add("CatId", ftInteger, 0, true);
        cats->FieldDefs()->Add("CatName", ftString, 20);
        cats->IndexDefs()->Add("", "CatId", {ixPrimary});
        cats->CreateTable();
        cats->Open();
        for (auto [id, name] : {std::pair{1, "Fruit"}, {2, "Tools"}, {3, "Books"}}) {
            cats->AppendRecord({Variant(id), Variant(std::string(name))});
        }
        cats->First();
        table = std::make_unique<TTable>(nullptr);
        table->SetDatabaseName(Db());
        table->SetTableName("THINGS");
        table->FieldDefs()->Add("Id", ftInteger, 0, true);
        table->FieldDefs()->Add("Name", ftString, 20);
        table->FieldDefs()->Add("Qty", ftInteger);
        table->FieldDefs()->Add("Kind", ftString, 10);
        table->FieldDefs()->Add("Done", ftBoolean);
        table->FieldDefs()->Add("CatId", ftInteger);
        table->FieldDefs()->Add("Notes", ftMemo);
        table->FieldDefs()->Add("Pic", ftGraphic);
        table->IndexDefs()->Add("", "Id", {ixPrimary});
        table->CreateTable();
        table->Open();
        table->AppendRecord({Variant(1), Variant(std::string("Apple")), Variant(5), Variant(std::string("A")),
                             Variant(false), Variant(1), Variant(std::string("crisp"))});
        table->AppendRecord({Variant(2), Variant(std::string("Hammer")), Variant(2), Variant(std::string("B")),
                             Variant(true), Variant(2), Variant(std::string("heavy"))});
        table->First();
        ds = std::make_unique<TDataSource>(nullptr);
        ds->SetDataSet(table.get());
        catSource = std::make_unique<TDataSource>(nullptr);
        catSource->SetDataSet(cats.get());
    }
    // A data-aware control on the form bound to Field.
    template <class T>
    T* Put(const std::string& Field, int L, int T_, int W, int H) {
        auto* c = Make<T>(form, form, L, T_, W, H, "c" + Field + std::to_string(form->ComponentCount()));
        c->SetDataSource(ds.get());
        c->SetDataField(Field);
        return c;
    }
    void Show(TWinControl* Focus) {
        form->Show();
        Focus->SetFocus();
        Input::ProcessAll();
    }
    static void Type(const std::string& S) {
        Input::Type(S);
        Input::ProcessAll();
    }
    static void Press(int Vk, bool Ctrl = false) {
        if (Ctrl) Input::KeyDown(VK_CONTROL);
        Input::Key(Vk);
        if (Ctrl) Input::KeyUp(VK_CONTROL);
        Input::ProcessAll();
    }
    static void ClickOn(TControl* C) {
        TPoint p = C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2});
        Input::Click(p.x, p.y);
        Input::ProcessAll();
    }
    // The stored row of Id, read through a separate table.
    Variant Stored(int Id, const std::string& Field) {
        TTable t(nullptr);
        t.SetDatabaseName(Db());
        t.SetTableName("THINGS");
        t.Open();
        EXPECT_TRUE(t.Locate("Id", Variant(Id), {}));
        return t.FieldByName(Field)->Value();
    }
};

TEST_F(DBCtrlsTest, EditShowsTypesEscapesAndWritesOnTab) {
    auto* name = Put<TDBEdit>("Name", 10, 10, 150, 21);
    auto* qty = Put<TDBEdit>("Qty", 10, 40, 150, 21);
    table->FieldByName("Qty")->OnGetText = [](TField* F, std::string& Text, bool Display) {
        Text = Display ? F->AsString() + " pcs" : F->AsString();
    };
    table->Refresh();
    EXPECT_EQ(qty->Text(), "5 pcs");  // not focused: DisplayText
    Show(qty);
    EXPECT_EQ(qty->Text(), "5");      // focused: Text

    // Escape puts the field's value back; the dataset went into dsEdit on the first key.
    Press(VK_END);
    Type("7");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(qty->Text(), "57");
    Press(VK_ESCAPE);
    EXPECT_EQ(qty->Text(), "5");
    EXPECT_EQ(table->FieldByName("Qty")->AsInteger(), 5);

    // Characters the field refuses are not typed.
    qty->SelectAll();
    Type("x12");
    EXPECT_EQ(qty->Text(), "12");
    Press(VK_TAB);
    EXPECT_EQ(Screen->ActiveControl(), name);
    EXPECT_EQ(table->FieldByName("Qty")->AsInteger(), 12);
    EXPECT_EQ(qty->Text(), "12 pcs");

    name->SelectAll();
    Type("Pear");
    Press(VK_TAB);
    table->Post();
    EXPECT_EQ(VarToStr(Stored(1, "Name")), "Pear");
    EXPECT_EQ(Stored(1, "Qty").AsInteger(), 12);

    // Moving the dataset shows the other record.
    table->Next();
    EXPECT_EQ(name->Text(), "Hammer");
}

TEST_F(DBCtrlsTest, ConversionErrorKeepsTextFocusAndRecord) {
    auto* qty = Put<TDBEdit>("Qty", 10, 10, 150, 21);
    auto* name = Put<TDBEdit>("Name", 10, 40, 150, 21);
    Show(qty);
    qty->SelectAll();
    Type("1-2");
    TDialogResponder r;
    r.Expect(dkMessageBox, "not a valid integer", mrOk);
    Press(VK_TAB);
    EXPECT_EQ(r.Pending(), 0);
    EXPECT_EQ(Screen->ActiveControl(), qty);
    EXPECT_EQ(qty->Text(), "1-2");
    EXPECT_EQ(table->FieldByName("Qty")->AsInteger(), 5);
    // Posting now fails the same way: no half-converted record reaches the table.
    EXPECT_THROW(table->Post(), EConvertError);
    EXPECT_EQ(Stored(1, "Qty").AsInteger(), 5);
    // A good value then goes through.
    qty->SelectAll();
    Type("9");
    Press(VK_TAB);
    EXPECT_EQ(Screen->ActiveControl(), name);
    table->Post();
    EXPECT_EQ(Stored(1, "Qty").AsInteger(), 9);
}

TEST_F(DBCtrlsTest, FieldsThatCannotChangeRefuseInput) {
    auto* name = Put<TDBEdit>("Name", 10, 10, 150, 21);
    auto* memo = Put<TDBMemo>("Notes", 10, 40, 150, 60);
    auto* check = Put<TDBCheckBox>("Done", 10, 110, 150, 21);
    auto* kinds = Put<TDBRadioGroup>("Kind", 200, 10, 150, 90);
    kinds->Items()->SetText("Alpha\nBeta");
    kinds->Values()->SetText("A\nB");
    EXPECT_EQ(kinds->ItemIndex(), 0);

    table->FieldByName("Name")->SetReadOnly(true);
    Show(name);
    Type("zz");
    EXPECT_EQ(name->Text(), "Apple");
    EXPECT_EQ(table->State(), dsBrowse);
    table->FieldByName("Name")->SetReadOnly(false);

    // The control's own ReadOnly and a data source without AutoEdit refuse too.
    memo->SetReadOnly(true);
    memo->SetFocus();
    Type("zz");
    EXPECT_EQ(memo->Text(), "crisp");
    memo->SetReadOnly(false);
    ds->SetAutoEdit(false);
    Type("zz");
    EXPECT_EQ(memo->Text(), "crisp");
    check->SetFocus();
    Press(VK_SPACE);
    EXPECT_FALSE(check->Checked());
    kinds->Buttons(0)->SetFocus();
    Input::ProcessAll();
    Press(VK_DOWN);
    EXPECT_EQ(kinds->ItemIndex(), 0);
    EXPECT_EQ(kinds->Value(), "A");
    EXPECT_EQ(table->State(), dsBrowse);

    // With AutoEdit back the same keys and clicks edit.
    ds->SetAutoEdit(true);
    ClickOn(kinds->Buttons(1));
    EXPECT_EQ(kinds->Value(), "B");
    EXPECT_EQ(table->State(), dsEdit);
    check->SetFocus();
    Input::ProcessAll();
    Press(VK_SPACE);
    EXPECT_TRUE(check->Checked());
    memo->SetFocus();
    Input::ProcessAll();
    Press(VK_END, true);
    Type("!");
    Press(VK_TAB);
    table->Post();
    EXPECT_EQ(VarToStr(Stored(1, "Kind")), "B");
    EXPECT_TRUE(Stored(1, "Done").AsBoolean());
    EXPECT_EQ(VarToStr(Stored(1, "Notes")), "crisp!");
}

// The first key of an edit puts the record into dsEdit; the memo keeps its
// selection through that, so typing over a selection replaces it, also for a
// note stored with CR LF line ends.
TEST_F(DBCtrlsTest, MemoTypingReplacesTheSelection) {
    table->Edit();
    table->FieldByName("Notes")->SetAsString("crisp\r\nred");
    table->Post();
    auto* memo = Put<TDBMemo>("Notes", 10, 40, 150, 60);
    Show(memo);
    memo->SelectAll();
    Type("soft");
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(memo->Text(), "soft");
    Press(VK_TAB);
    table->Post();
    EXPECT_EQ(VarToStr(Stored(1, "Notes")), "soft");
}

TEST_F(DBCtrlsTest, FocusedControlExposesDataSourceAndFieldByName) {
    auto* edit = Put<TDBEdit>("Name", 10, 10, 150, 21);
    auto* memo = Put<TDBMemo>("Notes", 10, 40, 150, 60);
    auto* check = Put<TDBCheckBox>("Done", 10, 110, 150, 21);
    auto* group = Put<TDBRadioGroup>("Kind", 200, 10, 150, 90);
    group->Items()->SetText("A\nB");
    auto* list = Put<TDBListBox>("Kind", 200, 110, 150, 60);
    list->Items()->SetText("A\nB");
    auto* combo = Put<TDBComboBox>("Kind", 200, 180, 150, 21);
    // An editable combo: its inner edit takes the keyboard focus, the combo stays the active control.
    combo->Items()->SetText("A\nB");
    auto* image = Put<TDBImage>("Pic", 360, 10, 100, 100);
    auto* lookup = Put<TDBLookupComboBox>("CatId", 10, 140, 150, 21);
    auto* lookupList = Put<TDBLookupListBox>("CatId", 10, 170, 150, 60);
    auto* text = Put<TDBText>("Name", 360, 120, 100, 17);
    EXPECT_EQ(text->Caption(), "Apple");
    EXPECT_EQ(GetStrProp(text, "DataField"), "Name");
    form->Show();
    for (TWinControl* c : std::initializer_list<TWinControl*>{edit, memo, check, group->Buttons(1), list, combo, image,
                                                             lookup, lookupList}) {
        c->SetFocus();
        Input::ProcessAll();
        TWinControl* active = Screen->ActiveControl();
        ASSERT_EQ(active, c) << c->ClassName() << " / " << (active ? active->ClassName() : std::string("none"));
        if (active->ClassName() == "TGroupButton") active = active->Parent();
        EXPECT_EQ(GetObjectProp(active, "DataSource"), ds.get()) << active->ClassName();
        EXPECT_EQ(GetStrProp(active, "DataField"), GetStrProp(c == group->Buttons(1) ? group : c, "DataField"));
        EXPECT_EQ(GetControlDataLink(active)->DataSource(), ds.get()) << active->ClassName();
    }
    EXPECT_EQ(GetStrProp(group, "DataField"), "Kind");
    // A field asks for its control and gets the focus there.
    table->FieldByName("Notes")->FocusControl();
    EXPECT_EQ(Screen->ActiveControl(), memo);
}

TEST_F(DBCtrlsTest, ListAndComboChoicesWriteTheText) {
    auto* list = Make<TDBListBox>(form, form, 10, 10, 100, 60, "List");
    list->SetDataSource(ds.get());
    list->SetDataField("Kind");
    EXPECT_EQ(list->ItemIndex(), -1);
    // Items given after the field is bound select its value.
    list->Items()->SetText("A\nB\nC");
    auto* combo = Put<TDBComboBox>("Name", 10, 80, 150, 21);
    combo->Items()->SetText("Apple\nPlum");
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(combo->Text(), "Apple");

    // A list that may not change keeps its selection.
    list->SetReadOnly(true);
    Show(list);
    Press(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 0);
    list->SetReadOnly(false);
    Press(VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(table->State(), dsEdit);

    // Typing into the combo's edit, then Tab, writes both.
    combo->SetFocus();
    Input::ProcessAll();
    combo->SelectAll();
    Type("Fig");
    Press(VK_TAB);
    table->Post();
    EXPECT_EQ(VarToStr(Stored(1, "Kind")), "B");
    EXPECT_EQ(VarToStr(Stored(1, "Name")), "Fig");

    // Escape in the combo puts the field's text back.
    combo->SetFocus();
    Input::ProcessAll();
    Type("s");
    EXPECT_NE(combo->Text(), "Fig");
    Press(VK_ESCAPE);
    EXPECT_EQ(combo->Text(), "Fig");
}

TEST_F(DBCtrlsTest, LookupChoicesWriteTheKey) {
    auto* combo = Put<TDBLookupComboBox>("CatId", 10, 10, 150, 21);
    combo->SetListSource(catSource.get());
    combo->SetKeyField("CatId");
    combo->SetListField("CatName");
    auto* list = Make<TDBLookupListBox>(form, form, 10, 50, 150, 80, "L");
    list->SetListSource(catSource.get());
    list->SetKeyField("CatId");
    list->SetListField("CatName");
    EXPECT_EQ(combo->Items()->Count(), 3);
    EXPECT_EQ(combo->Text(), "Fruit");
    EXPECT_EQ(cats->RecNo(), 1);  // reading the list kept its position

    Show(combo);
    Press(VK_DOWN);
    EXPECT_EQ(combo->Text(), "Tools");
    EXPECT_EQ(table->FieldByName("CatId")->AsInteger(), 2);
    table->Post();
    EXPECT_EQ(Stored(1, "CatId").AsInteger(), 2);
    table->Next();
    table->Prior();
    EXPECT_EQ(combo->Text(), "Tools");

    // Without a field the list's KeyValue follows a click.
    TRect r = list->ItemRect(2);
    TPoint p = list->ClientToScreen(TPoint{r.left + 5, r.top + 2});
    Input::Click(p.x, p.y);
    Input::ProcessAll();
    EXPECT_EQ(list->KeyValue().AsInteger(), 3);
    EXPECT_EQ(list->SelectedText(), "Books");

    // A new list row shows up.
    cats->AppendRecord({Variant(4), Variant(std::string("Games"))});
    EXPECT_EQ(combo->Items()->Count(), 4);
}

TEST_F(DBCtrlsTest, ImagePastesFromClipboardAndStoresTheBitmap) {
    auto* image = Put<TDBImage>("Pic", 10, 10, 80, 80);
    auto* name = Put<TDBEdit>("Name", 100, 10, 150, 21);
    TBitmap bmp;
    bmp.SetWidth(20);
    bmp.SetHeight(10);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(TRect{0, 0, 20, 10});
    Clipboard()->Assign(&bmp);
    Show(image);
    Press('V', true);
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(image->Picture()->Width(), 20);
    Press(VK_TAB);
    EXPECT_EQ(Screen->ActiveControl(), name);
    table->Post();

    // The stored blob is a bitmap of the same size and colour; the control paints it centred.
    TTable t(nullptr);
    t.SetDatabaseName(Db());
    t.SetTableName("THINGS");
    t.Open();
    TStringStream s;
    static_cast<TBlobField*>(t.FieldByName("Pic"))->SaveToStream(&s);
    s.Seek(0, soBeginning);
    TBitmap back;
    back.LoadFromStream(&s);
    EXPECT_EQ(back.Width(), 20);
    EXPECT_EQ(back.Height(), 10);
    EXPECT_EQ(Rgb(back.Canvas()->Pixels(5, 5)), 0xFF0000u);
    EXPECT_EQ(wintest::ClientPixel(image->Handle(), image->ClientWidth() / 2, image->ClientHeight() / 2), 0xFF0000u);
    EXPECT_EQ(wintest::ClientPixel(image->Handle(), 2, 2), Rgb(clWindow));

    // Cut empties it again; Escape brings the field's picture back.
    image->SetFocus();
    Input::ProcessAll();
    Press('X', true);
    EXPECT_EQ(image->Picture()->Graphic(), nullptr);
    Press(VK_ESCAPE);
    EXPECT_EQ(image->Picture()->Width(), 20);
}

}  // namespace
}  // namespace ctltest
