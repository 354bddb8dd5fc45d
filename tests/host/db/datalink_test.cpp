// Tests of data sources and data links: the notification table, disabled controls, field links and master links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/db/db.h"
#include "memdataset.h"

using namespace host;

namespace {

// A link that records every call it gets.
class RecordingLink : public TDataLink {
public:
    std::vector<std::string> Calls;
    std::string Take() {
        std::string s;
        for (auto& c : Calls) s += (s.empty() ? "" : " ") + c;
        Calls.clear();
        return s;
    }

protected:
    void ActiveChanged() override { Calls.push_back(Active() ? "Active" : "Inactive"); }
    void CheckBrowseMode() override { Calls.push_back("CheckBrowseMode"); }
    void DataSetChanged() override { Calls.push_back("Changed"); }
    void DataSetScrolled(int Distance) override { Calls.push_back("Scrolled(" + std::to_string(Distance) + ")"); }
    void EditingChanged() override { Calls.push_back(Editing() ? "Editing" : "NotEditing"); }
    void FocusControl(TFieldRef Field) override { Calls.push_back("Focus " + (*Field)->FieldName()); }
    void LayoutChanged() override { Calls.push_back("Layout"); }
    void RecordChanged(TField* Field) override {
        Calls.push_back(Field != nullptr ? "Record " + Field->FieldName() : "Record");
    }
    void UpdateData() override { Calls.push_back("UpdateData"); }
};

std::unique_ptr<TMemDataSet> Numbers(int Count) {
    auto ds = std::make_unique<TMemDataSet>(nullptr);
    ds->FieldDefs()->Add("N", ftInteger);
    ds->FieldDefs()->Add("S", ftString, 10);
    ds->Open();
    for (int i = 1; i <= Count; ++i) ds->AppendRecord({Variant(i), Variant("n" + std::to_string(i))});
    ds->Close();
    return ds;
}

TEST(DataLinkNotifications, TheTable) {
    auto ds = Numbers(5);
    TDataSource src(nullptr);
    src.SetDataSet(ds.get());
    RecordingLink link;
    link.SetDataSource(&src);
    EXPECT_EQ(link.Take(), "");
    std::vector<std::string> sourceLog;
    src.OnStateChange = [&](TObject*) { sourceLog.push_back("state " + std::to_string(static_cast<int>(src.State()))); };
    src.OnDataChange = [&](TObject*, TField* f) { sourceLog.push_back(f ? "data " + f->FieldName() : "data"); };

    ds->Open();
    EXPECT_EQ(link.Take(), "Active");
    EXPECT_TRUE(link.Active());
    EXPECT_EQ(sourceLog.size(), 2u);  // state, then data (first data after inactive)

    ds->Next();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Scrolled(1)");
    ds->Prior();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Scrolled(-1)");
    ds->MoveBy(3);
    EXPECT_EQ(link.Take(), "CheckBrowseMode Scrolled(3)");
    ds->Next();
    ds->Next();  // at the end: no move, still told
    EXPECT_EQ(link.Take(), "CheckBrowseMode Scrolled(1) CheckBrowseMode Scrolled(0)");
    ds->First();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Changed");
    ds->Last();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Changed");
    ds->Locate("N", Variant(2), {});
    EXPECT_EQ(link.Take(), "CheckBrowseMode CheckBrowseMode Changed");
    TBookmark bm = ds->GetBookmark();
    ds->First();
    link.Take();
    ds->GotoBookmark(bm);
    EXPECT_EQ(link.Take(), "CheckBrowseMode Changed");
    ds->Refresh();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Changed");

    ds->Edit();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Editing Record");
    EXPECT_TRUE(link.Editing());
    ds->FieldByName("S")->SetAsString("x");
    EXPECT_EQ(link.Take(), "Record S");
    ds->Post();
    EXPECT_EQ(link.Take(), "UpdateData CheckBrowseMode NotEditing Changed");
    ds->Insert();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Editing Changed");
    ds->Cancel();
    EXPECT_EQ(link.Take(), "CheckBrowseMode NotEditing Changed");
    ds->Append();
    link.Take();
    ds->FieldByName("N")->SetAsInteger(9);
    ds->Post();
    EXPECT_EQ(link.Take(), "Record N UpdateData CheckBrowseMode NotEditing Changed");
    ds->Delete();
    EXPECT_EQ(link.Take(), "CheckBrowseMode Changed");
    ds->SetOnFilterRecord([](TDataSet* d, bool& accept) { accept = d->FieldByName("N")->AsInteger() % 2 == 1; });
    ds->SetFiltered(true);
    EXPECT_EQ(link.Take(), "CheckBrowseMode CheckBrowseMode Changed");
    ds->FieldByName("N")->FocusControl();
    EXPECT_EQ(link.Take(), "Focus N");
    ds->FieldByName("S")->SetVisible(false);
    EXPECT_EQ(link.Take(), "Layout");

    // DisableControls holds everything back; the last EnableControls tells once.
    ds->DisableControls();
    ds->DisableControls();
    ds->First();
    ds->Next();
    ds->Edit();
    ds->FieldByName("S")->SetAsString("held");
    ds->Post();
    ds->EnableControls();
    EXPECT_EQ(link.Take(), "");
    ds->EnableControls();
    EXPECT_EQ(link.Take(), "Changed");
    // Closing while disabled: the state change and the layout event come on enable.
    ds->DisableControls();
    ds->Close();
    ds->Open();
    ds->EnableControls();
    EXPECT_EQ(link.Take(), "Layout");

    src.SetEnabled(false);
    EXPECT_EQ(link.Take(), "Inactive");
    src.SetEnabled(true);
    EXPECT_EQ(link.Take(), "Active");
    ds->Close();
    EXPECT_EQ(link.Take(), "Inactive");
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(src.State(), dsInactive);
}

TEST(DataLinkNotifications, WindowsOfSeveralRecordsAndLifetime) {
    auto ds = Numbers(10);
    auto src = std::make_unique<TDataSource>(nullptr);
    src->SetDataSet(ds.get());
    RecordingLink grid;
    grid.SetBufferCount(4);
    grid.SetDataSource(src.get());
    RecordingLink edit;
    edit.SetDataSource(src.get());
    ds->Open();
    EXPECT_EQ(ds->BufferCount(), 4);
    EXPECT_EQ(grid.RecordCount(), 4);
    EXPECT_EQ(edit.RecordCount(), 1);
    EXPECT_EQ(grid.ActiveRecord(), 0);
    grid.Take();
    edit.Take();
    ds->MoveBy(2);
    EXPECT_EQ(grid.ActiveRecord(), 2);
    EXPECT_EQ(grid.Take(), "CheckBrowseMode Scrolled(0)");  // the grid window did not move
    EXPECT_EQ(edit.Take(), "CheckBrowseMode Scrolled(2)");
    ds->MoveBy(3);
    EXPECT_EQ(grid.ActiveRecord(), 3);
    EXPECT_EQ(grid.Take(), "CheckBrowseMode Scrolled(2)");
    // Reading the records of the window, as a grid paints.
    std::string shown;
    int saved = grid.ActiveRecord();
    for (int i = 0; i < grid.RecordCount(); ++i) {
        grid.SetActiveRecord(i);
        shown += ds->FieldByName("N")->AsString() + " ";
    }
    grid.SetActiveRecord(saved);
    EXPECT_EQ(shown, "3 4 5 6 ");
    EXPECT_EQ(ds->FieldByName("N")->AsInteger(), 6);
    ds->Last();
    EXPECT_EQ(grid.ActiveRecord(), 3);
    ds->First();
    EXPECT_EQ(grid.ActiveRecord(), 0);
    // Shrinking the window keeps the current record.
    ds->MoveBy(2);
    grid.SetBufferCount(1);
    EXPECT_EQ(ds->BufferCount(), 1);
    EXPECT_EQ(ds->FieldByName("N")->AsInteger(), 3);

    // The source goes first: links become inactive and forget it.
    src.reset();
    EXPECT_EQ(grid.DataSource(), nullptr);
    EXPECT_FALSE(grid.Active());
    // The dataset goes while a source points at it.
    TDataSource src2(nullptr);
    src2.SetDataSet(ds.get());
    edit.SetDataSource(&src2);
    EXPECT_TRUE(edit.Active());
    ds.reset();
    EXPECT_EQ(src2.DataSet(), nullptr);
    EXPECT_FALSE(edit.Active());
}

TEST(DataLinkNotifications, FieldDataLinkAndMasterLink) {
    auto ds = Numbers(3);
    TDataSource src(nullptr);
    src.SetDataSet(ds.get());
    TFieldDataLink fl;
    std::vector<std::string> log;
    std::string controlText;
    fl.OnDataChange = [&](TObject*) {
        controlText = fl.Field() ? fl.Field()->AsString() : "";
        log.push_back("data " + controlText);
    };
    fl.OnEditingChange = [&](TObject*) { log.push_back(fl.Editing() ? "editing" : "browsing"); };
    fl.OnActiveChange = [&](TObject*) { log.push_back(fl.Active() ? "active" : "inactive"); };
    fl.OnUpdateData = [&](TObject*) { fl.Field()->SetAsString(controlText); };
    fl.SetFieldName("S");
    fl.SetDataSource(&src);
    EXPECT_EQ(fl.Field(), nullptr);
    ds->Open();
    EXPECT_EQ(fl.Field(), ds->FieldByName("S"));
    EXPECT_EQ(controlText, "n1");
    log.clear();
    // Typing: Edit through the link, then UpdateRecord on Post writes the control's text.
    EXPECT_TRUE(fl.Edit());
    EXPECT_EQ(ds->State(), dsEdit);
    controlText = "typed";
    fl.Modified();
    ds->Post();
    EXPECT_EQ(ds->FieldByName("S")->AsString(), "typed");
    ds->Next();
    EXPECT_EQ(controlText, "n2");
    // AutoEdit off: the link does not start editing.
    src.SetAutoEdit(false);
    EXPECT_FALSE(fl.Edit());
    EXPECT_EQ(ds->State(), dsBrowse);
    src.SetAutoEdit(true);
    ds->FieldByName("S")->SetReadOnly(true);
    EXPECT_FALSE(fl.CanModify());
    EXPECT_FALSE(fl.Edit());
    ds->FieldByName("S")->SetReadOnly(false);
    EXPECT_THROW(fl.SetFieldName("NOPE"), EDatabaseError);
    EXPECT_EQ(fl.Field(), nullptr);
    fl.SetFieldName("S");
    EXPECT_EQ(fl.Field(), ds->FieldByName("S"));

    // A master link tells its owner of master record changes.
    auto detail = Numbers(1);
    TMasterDataLink master(detail.get());
    int changes = 0, disables = 0;
    master.OnMasterChange = [&](TObject*) { ++changes; };
    master.OnMasterDisable = [&](TObject*) { ++disables; };
    detail->Open();
    master.SetFieldNames("N");
    master.SetDataSource(&src);
    EXPECT_EQ(master.Fields().size(), 1u);
    int before = changes;
    ds->Next();
    EXPECT_EQ(changes, before + 1);
    int disablesBefore = disables;
    ds->Close();
    EXPECT_EQ(disables, disablesBefore + 1);
    // Circular links are refused.
    TDataSource self(nullptr);
    self.SetDataSet(ds.get());
    EXPECT_NO_THROW(self.SetDataSet(nullptr));
}

}  // namespace
