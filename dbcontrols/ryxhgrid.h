// The hierarchical data grid (unit Ryxhgrid): a data grid that shows the detail records of the current master record beneath it.
#pragma once

#include <memory>

#include "host/controls/dbgrids.h"

namespace ryx {

class TryxHDetailLink;

// What the hierarchical grid adds to the data grid's options: the user sizes the data rows
// by dragging a row line in the indicator column, cell texts wrap at word boundaries, and
// every column title is right-justified.
HOST_ENUM(TryxHDBGridOption, hgoRowSizing, hgoWordWrap, hgoTitlesRightJustify);
using TryxHDBGridOptions = host::TSet<TryxHDBGridOption>;

// A data grid over a master data source whose current record is followed by indented
// rows with the records of a detail data source (a dataset linked to the master, so that
// it holds the current master record's details). At most MaxDetailRows detail records are
// shown (only those are fetched); a click on a detail row makes it the detail dataset's
// current record. OnRowEnter fires whenever another master record becomes current.
class TryxCustomHDBGrid : public host::TCustomDBGrid {
    HOST_CLASS(TryxCustomHDBGrid, host::TCustomDBGrid)
public:
    explicit TryxCustomHDBGrid(host::TComponent* AOwner);
    ~TryxCustomHDBGrid() override;

    host::TDataSource* DetailDataSource() const;
    void SetDetailDataSource(host::TDataSource* Value);
    // The same property under its short name.
    host::TDataSource* DetailSource() const { return DetailDataSource(); }
    void SetDetailSource(host::TDataSource* Value) { SetDetailDataSource(Value); }
    int MaxDetailRows() const { return FMaxDetailRows; }
    void SetMaxDetailRows(int Value);
    // How far the detail rows are indented from the left of the first data column.
    int DetailIndent() const { return FDetailIndent; }
    void SetDetailIndent(int Value);
    // Whether the detail rows show (they do when a detail data source is set).
    bool ShowDetails() const { return FShowDetails; }
    void SetShowDetails(bool Value);
    // The detail rows shown now.
    int DetailRowCount();
    // Read from and written to the data grid's RowSizing, WordWrap and TitleAlignment.
    TryxHDBGridOptions OptionsEx() const;
    void SetOptionsEx(TryxHDBGridOptions Value);

    host::TNotifyEvent OnRowEnter;

protected:
    friend class TryxHDetailLink;
    virtual void RowEnter();
    void DataChanged() override;
    int SubRowCount(int DataRecord) override;
    void DrawSubRow(int DataRecord, int SubRow, int ACol, const host::TRect& ARect,
                    host::TGridDrawState AState) override;
    void SubRowClicked(int DataRecord, int SubRow) override;
    int ReservedSubRows() override;
    void Notification(host::TComponent* AComponent, host::TOperation Operation) override;

private:
    std::unique_ptr<TryxHDetailLink> FDetailLink;
    int FMaxDetailRows = 5;
    int FDetailIndent = 16;
    bool FShowDetails = true;
    host::TBookmarkStr FLastMaster;
    bool FHadMaster = false;
    void DetailChanged();
};

// The published hierarchical grid of forms.
class TryxHDBGrid : public TryxCustomHDBGrid {
    HOST_CLASS(TryxHDBGrid, TryxCustomHDBGrid)
public:
    explicit TryxHDBGrid(host::TComponent* AOwner) : TryxCustomHDBGrid(AOwner) {}

private:
    HOST_PUBLISHED(
        prop("DataSource", &host::TCustomDBGrid::DataSource, &host::TCustomDBGrid::SetDataSource),
        prop("DetailDataSource", &TryxCustomHDBGrid::DetailDataSource, &TryxCustomHDBGrid::SetDetailDataSource),
        prop("DetailIndent", &TryxCustomHDBGrid::DetailIndent, &TryxCustomHDBGrid::SetDetailIndent).def(16),
        prop("MaxDetailRows", &TryxCustomHDBGrid::MaxDetailRows, &TryxCustomHDBGrid::SetMaxDetailRows).def(5),
        prop("Options", &host::TCustomDBGrid::Options, &host::TCustomDBGrid::SetOptions)
            .def(host::DefaultDBGridOptions),
        prop("OptionsEx", &TryxCustomHDBGrid::OptionsEx, &TryxCustomHDBGrid::SetOptionsEx).def(TryxHDBGridOptions{}),
        prop("RowHeight", &host::TCustomDBGrid::RowHeight, &host::TCustomDBGrid::SetRowHeight)
            .stored(&host::TCustomDBGrid::IsRowHeightStored),
        prop("ReadOnly", &host::TCustomDBGrid::ReadOnly, &host::TCustomDBGrid::SetReadOnly).def(false),
        prop("ShowDetails", &TryxCustomHDBGrid::ShowDetails, &TryxCustomHDBGrid::SetShowDetails).def(true),
        prop("TitleFont", &host::TCustomDBGrid::TitleFont, &host::TCustomDBGrid::SetTitleFont),
        prop("OnCellClick", &TryxHDBGrid::OnCellClick, &TryxHDBGrid::OnCellClick),
        prop("OnColEnter", &TryxHDBGrid::OnColEnter, &TryxHDBGrid::OnColEnter),
        prop("OnColExit", &TryxHDBGrid::OnColExit, &TryxHDBGrid::OnColExit),
        prop("OnEditButtonClick", &TryxHDBGrid::OnEditButtonClick, &TryxHDBGrid::OnEditButtonClick),
        prop("OnRowEnter", &TryxHDBGrid::OnRowEnter, &TryxHDBGrid::OnRowEnter),
        prop("OnTitleClick", &TryxHDBGrid::OnTitleClick, &TryxHDBGrid::OnTitleClick))
};

// Registers the unit's classes for form files (once).
void RegisterHDBGridClasses();

}  // namespace ryx
