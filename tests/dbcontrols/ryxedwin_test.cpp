// The data-aware edit window over a real table: rows in field order, edit kinds, editing through it, read-only rules and colours, rebuilding, a screenshot.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dbcontrols/ryxedwin.h"
#include "host/app/app.h"
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
        table->IndexDefs()->Add("", "Id", {ixPrimary});
        table->CreateTable();
        table->Open();
        table->AppendRecord({Variant(1), Variant(std::string("Rex")), Variant(12.5), Variant(true),
                             Variant(std::string("barks"))});
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
    ASSERT_EQ(win->EditCount(), 6);
    const char* classes[] = {"TDBEdit", "TDBEdit", "TDBEdit", "TDBCheckBox", "TDBMemo", "TDBImage"};
    for (int i = 0; i < 6; ++i) {
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
    name->SetFocus();
    Input::ProcessAll();
    name->SelectAll();
    Input::Type("Max");
    Input::Key(VK_TAB);
    Input::ProcessAll();
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
    EXPECT_EQ(win->EditCount(), 6);
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

}  // namespace
