// Painting of the data grid: titles, the indicator's record-state marks, data cells and the editor's button.
#include <algorithm>

#include "host/controls/dbgrids.h"
#include "host/controls/dbgrids_internal.h"
#include "host/gdi/gdi.h"

namespace host {

namespace {

// Writes Text into Rect, 2 pixels in from the edges, aligned as asked and clipped to Rect.
void WriteText(TCanvas* C, const TRect& Rect, const std::string& Text, TAlignment Alignment) {
    int w = C->TextWidth(Text);
    int x = Rect.left + 2;
    if (Alignment == taRightJustify)
        x = Rect.right - 3 - w;
    else if (Alignment == taCenter)
        x = Rect.left + (Rect.right - Rect.left - w) / 2;
    C->TextRect(Rect, x, Rect.top + 2, Text);
}

}  // namespace

void TCustomDBGrid::WriteCellText(TCanvas* C, const TRect& Rect, const std::string& Text, TAlignment Alignment) {
    if (!FWordWrap) {
        WriteText(C, Rect, Text, Alignment);
        return;
    }
    // Wrapped lines from the top of the cell, each aligned on its own, cut off at the cell's edges.
    if (C->Brush()->Style() != bsClear) C->FillRect(Rect);
    RECT r{Rect.left + 2, Rect.top + 2, Rect.right - 3, Rect.bottom};
    if (r.right <= r.left || r.bottom <= r.top) return;
    UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
    if (Alignment == taRightJustify)
        format |= DT_RIGHT;
    else if (Alignment == taCenter)
        format |= DT_CENTER;
    HDC dc = C->Handle();
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r, format);
    SetBkMode(dc, oldMode);
}

void TCustomDBGrid::DrawIndicator(TCanvas* C, const TRect& Rect, TDataSetState State, bool Current, bool Selected) {
    int cx = (Rect.left + Rect.right) / 2, cy = (Rect.top + Rect.bottom) / 2;
    C->Pen()->SetColor(clWindowText);
    C->Brush()->SetColor(clWindowText);
    if (Current && State == dsInsert) {
        // An asterisk: three strokes through the centre.
        for (int d = -3; d <= 3; ++d) {
            C->FillRect(TRect{cx + d, cy, cx + d + 1, cy + 1});
            C->FillRect(TRect{cx, cy + d, cx + 1, cy + d + 1});
            if (d != 0 && d > -3 && d < 3) {
                C->FillRect(TRect{cx + d, cy + d, cx + d + 1, cy + d + 1});
                C->FillRect(TRect{cx + d, cy - d, cx + d + 1, cy - d + 1});
            }
        }
    } else if (Current && State == dsEdit) {
        // An I-beam: a stem with serifs top and bottom.
        C->FillRect(TRect{cx, cy - 4, cx + 1, cy + 5});
        C->FillRect(TRect{cx - 2, cy - 5, cx + 3, cy - 4});
        C->FillRect(TRect{cx - 2, cy + 5, cx + 3, cy + 6});
    } else if (Current) {
        // A solid triangle pointing at the record, with a bar after it when the row is selected.
        int x = cx - 2;
        if (Selected) x -= 1;
        for (int i = 0; i < 4; ++i) C->FillRect(TRect{x + i, cy - 3 + i, x + i + 1, cy + 4 - i});
        if (Selected) C->FillRect(TRect{x + 5, cy - 3, x + 6, cy + 4});
    } else if (Selected) {
        // A selected row that is not the current one: a dot.
        C->FillRect(TRect{cx - 1, cy - 1, cx + 2, cy + 2});
    }
}

void TCustomDBGrid::DrawEditButton(TCanvas* C, const TRect& CellRect) {
    auto* ed = static_cast<TDBGridInplaceEdit*>(InplaceEditor());
    if (ed == nullptr || !ed->Visible()) return;
    auto kind = ed->ButtonKind();
    if (kind == TDBGridInplaceEdit::TButtonKind::None) return;
    TRect r{CellRect.right - ed->ButtonWidth(), CellRect.top, CellRect.right, CellRect.bottom};
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(r);
    TRect e = r;
    DrawEdge(C->Handle(), &e, ed->ListVisible() ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    C->Brush()->SetColor(clBtnText);
    if (kind == TDBGridInplaceEdit::TButtonKind::PickList) {
        for (int i = 0; i < 4; ++i) C->FillRect(TRect{cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i});
    } else {
        for (int d : {-4, 0, 4}) C->FillRect(TRect{cx + d - 1, cy + 2, cx + d + 1, cy + 4});
    }
}

void TCustomDBGrid::DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    (void)State;
    if (Field == nullptr) return;
    WriteCellText(Canvas(), Rect, Field->DisplayText(), Field->Alignment());
}

void TCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    (void)DataCol;
    (void)State;
    if (Column == nullptr) return;
    TField* f = Column->Field();
    if (f == nullptr) return;
    WriteCellText(Canvas(), Rect, f->DisplayText(), Column->Alignment());
}

void TCustomDBGrid::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
    OnDrawDataCell(this, Rect, Field, State);
}

void TCustomDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State) {
    OnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = Canvas();
    bool active = FDataLink->Active();
    if (ARow < FTitleOffset) {
        // The title row.
        TColumn* col = ACol >= FIndicatorOffset ? VisibleColumn(ACol) : nullptr;
        if (col == nullptr) return;
        TRect r = ARect;
        TColor back = col->Title()->Color();
        if (DefaultDrawing() && ColorToRGB(back) != ColorToRGB(FixedColor())) {
            c->Brush()->SetColor(back);
            c->FillRect(r);
        }
        c->Font()->Assign(col->Title()->Font());
        c->Brush()->SetStyle(bsClear);
        WriteText(c, r, col->Title()->Caption(), col->Title()->Alignment());
        c->Brush()->SetStyle(bsSolid);
        return;
    }
    int rec = 0, sub = 0;
    RowToRecord(ARow, rec, sub);
    if (sub >= 0) {
        DrawSubRow(rec, sub, ACol, ARect, AState);
        return;
    }
    if (!active || rec < 0 || rec >= std::max(FDataLink->RecordCount(), 0) ||
        (FDataLink->RecordCount() == 0)) {
        // No record here (an empty dataset): the current row's mark only when inserting.
        if (ACol < FIndicatorOffset && active && rec == 0 && FDataLink->DataSet()->State() == dsInsert)
            DrawIndicator(c, ARect, dsInsert, true, false);
        return;
    }
    bool selectedRow = false;
    if (FOptions.Contains(dgMultiSelect)) {
        dbgrids_internal::TActiveRecordSwap swap(FDataLink.get(), rec);
        selectedRow = FBookmarks->Count() > 0 && FBookmarks->CurrentRowSelected();
    }
    if (ACol < FIndicatorOffset) {
        bool current = rec == FDataLink->ActiveRecord();
        DrawIndicator(c, ARect, FDataLink->DataSet()->State(), current, selectedRow);
        return;
    }
    TColumn* col = VisibleColumn(ACol);
    if (col == nullptr) return;
    bool focused = IsActiveControl() || FOptions.Contains(dgAlwaysShowSelection);
    bool highlight = selectedRow || (AState.Contains(gdSelected) && focused);
    dbgrids_internal::TActiveRecordSwap swap(FDataLink.get(), rec);
    if (DefaultDrawing()) {
        c->Font()->Assign(col->Font());
        if (highlight) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(col->Color());
        }
        c->FillRect(ARect);
    }
    if (FColumns->State() == csDefault) {
        if (DefaultDrawing()) DefaultDrawDataCell(ARect, col->Field(), AState);
        DrawDataCell(ARect, col->Field(), AState);
    }
    if (DefaultDrawing() && FColumns->State() != csDefault) DefaultDrawColumnCell(ARect, RawToDataColumn(ACol), col, AState);
    DrawColumnCell(ARect, RawToDataColumn(ACol), col, AState);
    if (ACol == Col() && rec == FDataLink->ActiveRecord()) DrawEditButton(c, ARect);
}

}  // namespace host
