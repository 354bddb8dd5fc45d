// Data grids over real SQLite tables, driven with the keyboard and mouse: walking, editing, appending, inserting, deleting, pick lists, events, column rebuilds, a large table and pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/app/responders.h"
#include "host/controls/dbgrids.h"
#include "host/controls/lists.h"
#include "host/db/dbiengine.h"
#include "host/db/dbtables.h"
#include "host/db/enginestats.h"
#include "host/db/sampledb.h"
#include "host/gdi/gdi.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "support/tempdir.h"
#include "test_controls.h"

namespace ctltest {
namespace {

// A colour as the pixels hold it (0x00RRGGBB).
uint32_t Rgb(TColor C) {
    uint32_t c = static_cast<uint32_t>(ColorToRGB(C));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class DBGridTest : public ControlsTest {
protected:
    testsupport::TTempDir FTemp;
    std::string FOldCfg;
    TForm* form = nullptr;
    TTable* table = nullptr;
    TDataSource* source = nullptr;
    TDBGrid* grid = nullptr;

    void SetUp() override {
        ControlsTest::SetUp();
        FOldCfg = DbiCfgGetPath();
        DbiCfgSetPath(FTemp.File("dbi.cfg"));
        RegisterDBGridClasses();
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(20, 20, 460, 300);
    }
    void TearDown() override {
        delete form;
        DbiCfgSetPath(FOldCfg);
        ControlsTest::TearDown();
    }
    std::string Db() const { return FTemp.File("people.db"); }
    // PEOPLE (Id primary, Name, Age) with Count rows "Name <i>", age i, made through SQL.
    void MakePeople(int Count) {
        TTable t(nullptr);
        t.SetDatabaseName(Db());
        t.SetTableName("PEOPLE");
        t.FieldDefs()->Add("Id", ftInteger, 0, true);
        t.FieldDefs()->Add("Name", ftString, 20);
        t.FieldDefs()->Add("Age", ftInteger);
        t.IndexDefs()->Add("", "Id", {ixPrimary});
        t.CreateTable();
        Sql("insert into PEOPLE (Id, Name, Age) with recursive c(x) as (select 1 union all select x + 1 from c "
            "where x < " + std::to_string(Count) + ") select x, 'Name ' || x, x from c");
    }
    void Sql(const std::string& Text) {
        TQuery q(nullptr);
        q.SetDatabaseName(Db());
        q.SQL()->SetText(Text);
        q.ExecSQL();
    }
    // One value read back from the file through a fresh query.
    std::string Read(const std::string& Select) {
        TQuery q(nullptr);
        q.SetDatabaseName(Db());
        q.SQL()->SetText(Select);
        q.Open();
        return q.Eof() ? std::string("<none>") : q.Fields(0)->AsString();
    }
    void OpenGrid() {
        table = new TTable(form);
        table->SetDatabaseName(Db());
        table->SetTableName("PEOPLE");
        source = new TDataSource(form);
        source->SetDataSet(table);
        grid = new TDBGrid(form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 420, 200);
        grid->SetDataSource(source);
        table->Open();
        form->Show();
        grid->SetFocus();
        Input::ProcessAll();
    }
    void Keys(std::initializer_list<int> Vks) {
        for (int k : Vks) Input::Key(k);
        Input::ProcessAll();
    }
    void Chord(int Modifier, int Vk) {
        Input::KeyDown(Modifier);
        Input::Key(Vk);
        Input::KeyUp(Modifier);
        Input::ProcessAll();
    }
    void Type(const std::string& Text) {
        Input::Type(Text);
        Input::ProcessAll();
    }
    int Id() { return table->FieldByName("Id")->AsInteger(); }
    POINT CellPoint(int ACol, int ARow) {
        TRect r = grid->CellRect(ACol, ARow);
        return grid->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
};

TEST_F(DBGridTest, KeysWalkTheDatasetAndOnlyTheVisibleWindowIsBuffered) {
    MakePeople(50);
    OpenGrid();
    ASSERT_EQ(grid->Columns()->Count(), 3);
    EXPECT_EQ(grid->Columns()->State(), csDefault);
    EXPECT_EQ(grid->Columns()->Items(1)->Title()->Caption(), "Name");
    int window = grid->DataLink()->BufferCount();
    EXPECT_GT(window, 3);
    EXPECT_LT(window, 50);  // the rows that fit, not the table
    EXPECT_EQ(grid->RowCount(), 1 + window);

    Keys({VK_DOWN, VK_DOWN, VK_DOWN});
    EXPECT_EQ(Id(), 4);
    EXPECT_EQ(grid->Row(), 4);
    Keys({VK_UP});
    EXPECT_EQ(Id(), 3);
    Keys({VK_NEXT});
    EXPECT_EQ(Id(), 3 + window);
    EXPECT_EQ(grid->Row(), 1 + grid->DataLink()->ActiveRecord());
    Chord(VK_CONTROL, VK_END);
    EXPECT_EQ(Id(), 50);
    EXPECT_EQ(grid->Row(), grid->RowCount() - 1);
    Chord(VK_CONTROL, VK_HOME);
    EXPECT_EQ(Id(), 1);
    Keys({VK_UP});
    EXPECT_EQ(Id(), 1);
    EXPECT_EQ(table->State(), dsBrowse);

    // Right moves between columns and tells of it; a click on a row moves the dataset there.
    std::vector<std::string> log;
    grid->OnColExit = [&](TObject*) { log.push_back("exit " + grid->SelectedField()->FieldName()); };
    grid->OnColEnter = [&](TObject*) { log.push_back("enter " + grid->SelectedField()->FieldName()); };
    grid->OnCellClick = [&](TColumn* C) { log.push_back("cell " + C->FieldName()); };
    grid->OnTitleClick = [&](TColumn* C) { log.push_back("title " + C->FieldName()); };
    Keys({VK_RIGHT});
    EXPECT_EQ(grid->SelectedIndex(), 1);
    Input::Click(CellPoint(3, 5).x, CellPoint(3, 5).y);
    Input::ProcessAll();
    EXPECT_EQ(Id(), 5);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "Age");
    Input::Click(CellPoint(2, 0).x, CellPoint(2, 0).y);
    Input::ProcessAll();
    EXPECT_EQ(log, (std::vector<std::string>{"exit Id", "enter Name", "exit Name", "enter Age", "cell Age",
                                             "title Name"}));
    // The wheel moves records too.
    Input::MouseMove(CellPoint(2, 3).x, CellPoint(2, 3).y);
    Input::Wheel(-WHEEL_DELTA * 2);
    Input::ProcessAll();
    EXPECT_EQ(Id(), 7);
}

TEST_F(DBGridTest, EditingPostsOnLeavingTheRowAndEscapeCancels) {
    MakePeople(5);
    OpenGrid();
    Keys({VK_RIGHT});
    Type("Zed");
    EXPECT_EQ(table->State(), dsEdit);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "Zed");
    Keys({VK_DOWN});
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(Read("select Name from PEOPLE where Id = 1"), "Zed");
    EXPECT_EQ(Id(), 2);

    // Tab takes the text into the field; the record posts when the row is left.
    Type("Ann");
    Keys({VK_TAB});
    EXPECT_EQ(grid->SelectedField()->FieldName(), "Age");
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Ann");
    Type("41");
    Keys({VK_UP});
    EXPECT_EQ(Read("select Name || '/' || Age from PEOPLE where Id = 2"), "Ann/41");

    // Escape takes back the cell, a second Escape cancels the record.
    Keys({VK_DOWN, VK_LEFT});
    Type("Bad");
    Keys({VK_TAB});
    Type("77");
    Keys({VK_ESCAPE});
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(table->FieldByName("Age")->AsString(), "41");
    Keys({VK_ESCAPE});
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "Ann");
    Keys({VK_DOWN});
    EXPECT_EQ(Read("select Name || '/' || Age from PEOPLE where Id = 2"), "Ann/41");

    // Text that does not convert stays in the editor; nothing half-converted is posted.
    TDialogResponder r;
    r.Always([](const TDialogInfo& I) { return I.Kind == dkMessageBox || I.Kind == dkMessageDialog; },
             [](TDialogInfo&) { return mrOk; });
    EXPECT_EQ(Id(), 3);
    EXPECT_EQ(grid->SelectedField()->FieldName(), "Age");
    Type("4-4");
    Keys({VK_DOWN});
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(grid->InplaceEditor()->Text(), "4-4");
    EXPECT_EQ(Read("select Age from PEOPLE where Id = 3"), "3");
    Keys({VK_ESCAPE, VK_ESCAPE});
    EXPECT_EQ(table->State(), dsBrowse);

    // A read-only grid refuses typing.
    grid->SetReadOnly(true);
    Type("9");
    EXPECT_EQ(table->State(), dsBrowse);
}

TEST_F(DBGridTest, DownPastTheEndAppendsInsertKeyInsertsCtrlDeleteAsks) {
    MakePeople(3);
    OpenGrid();
    Chord(VK_CONTROL, VK_END);
    Keys({VK_DOWN});
    EXPECT_EQ(table->State(), dsInsert);
    Keys({VK_UP});  // an untouched new row goes away
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(Id(), 3);
    Keys({VK_DOWN});
    Type("4");
    Keys({VK_TAB});
    Type("Dora");
    Keys({VK_UP});
    EXPECT_EQ(Read("select count(*) from PEOPLE"), "4");
    EXPECT_EQ(Read("select Name from PEOPLE where Id = 4"), "Dora");

    Chord(VK_CONTROL, VK_HOME);
    Keys({VK_INSERT});
    EXPECT_EQ(table->State(), dsInsert);
    Keys({VK_ESCAPE});
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(Read("select count(*) from PEOPLE"), "4");

    {
        TDialogResponder r;
        r.Expect(dkMessageDialog, "Delete record?", mrNo);
        Chord(VK_CONTROL, VK_DELETE);
    }
    EXPECT_EQ(Read("select count(*) from PEOPLE"), "4");
    {
        TDialogResponder r;
        r.Expect(dkMessageDialog, "Delete record?", mrYes);
        Chord(VK_CONTROL, VK_DELETE);
    }
    EXPECT_EQ(Read("select count(*) from PEOPLE"), "3");
    EXPECT_EQ(Read("select count(*) from PEOPLE where Id = 1"), "0");

    // Multi-selected rows go together.
    grid->SetOptions(grid->Options() + dgMultiSelect);
    Chord(VK_SHIFT, VK_DOWN);
    EXPECT_EQ(grid->SelectedRows()->Count(), 2);
    {
        TDialogResponder r;
        r.Expect(dkMessageDialog, "Delete all selected records?", mrYes);
        Chord(VK_CONTROL, VK_DELETE);
    }
    EXPECT_EQ(Read("select count(*) from PEOPLE"), "1");
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);
}

TEST_F(DBGridTest, PickListChoosesAValueAndEllipsisRaisesItsEvent) {
    MakePeople(3);
    OpenGrid();
    TColumn* id = grid->Columns()->Add();
    id->SetFieldName("Id");
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->PickList()->Add("Red");
    name->PickList()->Add("Green");
    name->PickList()->Add("Blue");
    TColumn* age = grid->Columns()->Add();
    age->SetFieldName("Age");
    age->SetButtonStyle(cbsEllipsis);
    // Adding columns in code makes them the application's: the field columns are gone.
    EXPECT_EQ(grid->Columns()->State(), csCustomized);
    ASSERT_EQ(grid->Columns()->Count(), 3);

    Keys({VK_RIGHT, VK_F2, VK_F4});
    Keys({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(grid->InplaceEditor()->Text(), "Green");
    EXPECT_EQ(table->State(), dsEdit);
    Keys({VK_DOWN});
    EXPECT_EQ(Read("select Name from PEOPLE where Id = 1"), "Green");

    // A click on an item of the dropped list takes it.
    Keys({VK_F2, VK_F4});
    ASSERT_EQ(grid->InplaceEditor()->ComponentCount(), 1);
    auto* list = static_cast<TCustomListBox*>(grid->InplaceEditor()->Components(0));
    ASSERT_TRUE(list->Visible());
    EXPECT_EQ(list->Items()->Count(), 3);
    TRect item = list->ItemRect(2);
    POINT blue = list->ClientToScreen(TPoint{item.left + 5, (item.top + item.bottom) / 2});
    Input::Click(blue.x, blue.y);
    Input::ProcessAll();
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "Blue");
    Keys({VK_UP});
    EXPECT_EQ(Read("select Name from PEOPLE where Id = 2"), "Blue");

    // A click on the cell's arrow drops the list down; a second click folds it up.
    Keys({VK_F2});
    TRect nameCell = grid->CellRect(grid->Col(), grid->Row());
    POINT arrow = grid->ClientToScreen(TPoint{nameCell.right - 4, (nameCell.top + nameCell.bottom) / 2});
    Input::Click(arrow.x, arrow.y);
    Input::ProcessAll();
    EXPECT_TRUE(list->Visible());
    Input::Click(arrow.x, arrow.y);
    Input::ProcessAll();
    EXPECT_FALSE(list->Visible());

    int clicks = 0;
    grid->OnEditButtonClick = [&](TObject*) { ++clicks; };
    Keys({VK_ESCAPE, VK_ESCAPE, VK_RIGHT, VK_F2});
    Chord(VK_CONTROL, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    TRect ageCell = grid->CellRect(grid->Col(), grid->Row());
    POINT dots = grid->ClientToScreen(TPoint{ageCell.right - 4, (ageCell.top + ageCell.bottom) / 2});
    Input::Click(dots.x, dots.y);
    Input::ProcessAll();
    EXPECT_EQ(clicks, 2);
}

TEST_F(DBGridTest, ColumnsFollowTheFieldsThroughCloseOpenAndFieldChanges) {
    MakePeople(4);
    Sql("create table PETS (PetId integer primary key, Kind varchar(10))");
    Sql("insert into PETS values (1, 'Cat')");
    OpenGrid();
    ASSERT_EQ(grid->Columns()->Count(), 3);
    table->Close();
    EXPECT_EQ(grid->Columns()->Count(), 0);
    UpdateWindow(grid->Handle());  // paints with no fields at all
    table->SetTableName("PETS");
    table->Open();
    ASSERT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->Columns()->Items(1)->Field(), table->FieldByName("Kind"));
    EXPECT_EQ(grid->ColCount(), 3);
    UpdateWindow(grid->Handle());

    // A field made invisible leaves the default columns.
    table->FieldByName("PetId")->SetVisible(false);
    ASSERT_EQ(grid->Columns()->Count(), 1);
    EXPECT_EQ(grid->SelectedField(), table->FieldByName("Kind"));

    // Customized columns keep their names and find the fields again after reopening.
    grid->Columns()->RebuildColumns();
    EXPECT_EQ(grid->Columns()->State(), csCustomized);
    table->Close();
    EXPECT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->Columns()->Items(1)->Field(), nullptr);
    UpdateWindow(grid->Handle());
    table->Open();
    EXPECT_EQ(grid->Columns()->Items(1)->Field(), table->FieldByName("Kind"));
    // Back to the fields' columns: the reopened dataset's fields are all visible again.
    grid->Columns()->SetState(csDefault);
    EXPECT_EQ(grid->Columns()->Count(), 2);
    EXPECT_TRUE(grid->Columns()->Items(0)->IsDefaultColumn());
}

TEST_F(DBGridTest, CustomizedColumnsGoThroughAFormFile) {
    MakePeople(2);
    OpenGrid();
    grid->SetName("Grid");
    table->SetName("PeopleTable");
    source->SetName("PeopleSource");
    TColumn* name = grid->Columns()->Add();
    name->SetFieldName("Name");
    name->Title()->SetCaption("Who");
    name->SetWidth(120);
    name->PickList()->Add("Ann");
    TColumn* age = grid->Columns()->Add();
    age->SetFieldName("Age");
    age->SetReadOnly(true);
    grid->SetOptions(grid->Options() - dgIndicator);

    RegisterClass(TTable::StaticClass());
    RegisterClass(TDataSource::StaticClass());
    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("Caption = 'Who'"), std::string::npos) << text;
    EXPECT_EQ(text.find("Caption = 'Age'"), std::string::npos) << text;  // defaults are not written

    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* g2 = static_cast<TDBGrid*>(copy->FindComponent("Grid"));
    ASSERT_NE(g2, nullptr);
    ASSERT_EQ(g2->Columns()->Count(), 2);
    EXPECT_EQ(g2->Columns()->State(), csCustomized);
    EXPECT_EQ(g2->Columns()->Items(0)->Title()->Caption(), "Who");
    EXPECT_EQ(g2->Columns()->Items(0)->Width(), 120);
    EXPECT_EQ(g2->Columns()->Items(0)->PickList()->Count(), 1);
    EXPECT_TRUE(g2->Columns()->Items(1)->ReadOnly());
    EXPECT_FALSE(g2->Options().Contains(dgIndicator));
    EXPECT_EQ(g2->DataSource(), copy->FindComponent(source->Name()));
    delete copy;
}

TEST_F(DBGridTest, AHundredThousandRowsAreWalkedAndEditedWithoutReadingThemAll) {
    MakePeople(100000);
    dbi::ResetRowsFetched();
    OpenGrid();
    Chord(VK_CONTROL, VK_END);
    EXPECT_EQ(Id(), 100000);
    Keys({VK_UP, VK_UP, VK_RIGHT});
    Type("Near the end");
    Keys({VK_DOWN});
    EXPECT_EQ(Read("select Name from PEOPLE where Id = 99998"), "Near the end");
    Keys({VK_PRIOR, VK_PRIOR});
    // Records are read into the grid's window only: a few screens, not the table.
    EXPECT_LT(dbi::RowsFetched(), 400u);
    SCROLLINFO si{};
    si.fMask = SIF_RANGE | SIF_POS;
    ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMax, 99999);
    EXPECT_EQ(si.nPos, table->RecNo() - 1);
}

TEST_F(DBGridTest, IndicatorMarksAndSelectionPixels) {
    MakePeople(6);
    OpenGrid();
    auto indicatorHasInk = [&](int Row) {
        TRect r = grid->CellRect(0, Row);
        int ink = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (wintest::ClientPixel(grid->Handle(), x, y) == 0x000000) ++ink;
        return ink;
    };
    int arrow = indicatorHasInk(1);
    EXPECT_GT(arrow, 8);
    EXPECT_EQ(indicatorHasInk(2), 0);
    // The current cell of the focused grid is in the highlight colour.
    TRect cell = grid->CellRect(1, 1);
    EXPECT_EQ(wintest::ClientPixel(grid->Handle(), cell.right - 2, cell.top + 3), Rgb(clHighlight));
    TRect other = grid->CellRect(2, 1);
    EXPECT_EQ(wintest::ClientPixel(grid->Handle(), other.right - 2, other.top + 3), Rgb(clWindow));
    // Editing and inserting change the mark.
    Keys({VK_RIGHT});
    Type("x");
    int ibeam = indicatorHasInk(1);
    EXPECT_GT(ibeam, 4);
    EXPECT_NE(ibeam, arrow);
    Keys({VK_ESCAPE, VK_ESCAPE, VK_INSERT});
    EXPECT_GT(indicatorHasInk(1), 4);
    EXPECT_EQ(indicatorHasInk(2), 0);
    Keys({VK_ESCAPE});
}

TEST_F(DBGridTest, ShiftClickSelectsEveryRecordFromTheAnchorToTheClickedRow) {
    MakePeople(300);
    int changes = 0;
    OpenGrid();
    source->OnDataChange = [&](TObject*, TField*) { ++changes; };
    grid->SetOptions(grid->Options() + dgMultiSelect);
    auto click = [&](int ACol, int ARow, std::initializer_list<int> Modifiers) {
        for (int m : Modifiers) Input::KeyDown(m);
        POINT p = CellPoint(ACol, ARow);
        Input::Click(p.x, p.y);
        for (int m : Modifiers) Input::KeyUp(m);
        Input::Wait(1000);  // the next click is not a double click
        Input::ProcessAll();
    };
    // The selected records' ids in the list's order, read through a second cursor so that
    // the grid's window stays as it is.
    TTable probe(nullptr);
    probe.SetDatabaseName(Db());
    probe.SetTableName("PEOPLE");
    probe.Open();
    auto selected = [&] {
        std::vector<int> ids;
        for (int i = 0; i < grid->SelectedRows()->Count(); ++i) {
            probe.GotoBookmark(grid->SelectedRows()->Items(i));
            ids.push_back(probe.FieldByName("Id")->AsInteger());
        }
        return ids;
    };
    auto span = [](int From, int To) {
        std::vector<int> r;
        for (int i = From; i <= To; ++i) r.push_back(i);
        return r;
    };

    click(2, 3, {});
    click(2, 7, {VK_SHIFT});
    EXPECT_EQ(selected(), span(3, 7));
    EXPECT_EQ(Id(), 7);
    EXPECT_EQ(grid->Row(), 7);
    // The anchor stays: a second Shift+click replaces the range, upwards this time.
    click(2, 2, {VK_SHIFT});
    EXPECT_EQ(selected(), span(2, 3));
    EXPECT_EQ(Id(), 2);
    // Ctrl+click adds one row and moves the anchor; Shift+Ctrl on the indicator adds a range.
    click(2, 6, {VK_CONTROL});
    click(0, 8, {VK_SHIFT, VK_CONTROL});
    EXPECT_EQ(selected(), (std::vector<int>{2, 3, 6, 7, 8}));
    EXPECT_EQ(Id(), 8);
    // Selected rows that are not current are painted highlighted.
    TRect cell = grid->CellRect(3, 7);
    EXPECT_EQ(wintest::ClientPixel(grid->Handle(), cell.right - 2, cell.top + 3), Rgb(clHighlight));
    click(2, 5, {});
    EXPECT_EQ(grid->SelectedRows()->Count(), 0);

    // An anchor far outside the grid's window: the dataset walks there and back once, with
    // the controls told only at the end, and ends on the clicked record.
    click(2, 1, {});
    Chord(VK_CONTROL, VK_END);
    int last = grid->RowCount() - 2;
    click(2, last, {});  // where the range will end: the record above the last one
    int target = Id();
    click(2, grid->RowCount() - 1, {});
    EXPECT_EQ(Id(), 300);
    Chord(VK_CONTROL, VK_HOME);
    changes = 0;
    dbi::ResetRowsFetched();
    click(2, 4, {VK_SHIFT});  // anchor: the last plain click, record 300
    EXPECT_LT(dbi::RowsFetched(), 2u * 300u);  // each record of the range read about once
    EXPECT_EQ(selected(), span(4, 300));
    EXPECT_EQ(Id(), 4);
    EXPECT_LE(changes, 2);
    EXPECT_EQ(grid->DataLink()->ActiveRecord() + 1, grid->Row());
    // The other way, from record 4 down to a record near the end.
    click(0, grid->Row(), {});
    Chord(VK_CONTROL, VK_END);
    click(2, last, {VK_SHIFT});
    EXPECT_EQ(Id(), target);
    EXPECT_EQ(selected(), span(4, target));
}

TEST_F(DBGridTest, SampleCustomersLookLikeADatabaseGrid) {
    std::string db = FTemp.File("sample.db");
    CreateSampleDatabase(db);
    table = new TTable(form);
    table->SetDatabaseName(db);
    table->SetTableName("CUSTOMER");
    source = new TDataSource(form);
    source->SetDataSet(table);
    grid = new TDBGrid(form);
    grid->SetParent(form);
    grid->SetAlign(alClient);
    grid->SetDataSource(source);
    table->Open();
    form->Show();
    grid->SetFocus();
    Input::ProcessAll();
    Keys({VK_DOWN, VK_DOWN, VK_RIGHT});
    EXPECT_EQ(grid->SelectedField()->FieldName(), "Company");
    EXPECT_EQ(SendMessageA(grid->Handle(), CM_GETDATALINK, 0, 0), reinterpret_cast<LRESULT>(grid->DataLink()));
}

}  // namespace
}  // namespace ctltest
