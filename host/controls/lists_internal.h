// Helpers shared by the list box, combo box, list view and scroll bar sources.
#pragma once

#include <string>

#include "host/controls/lists.h"

namespace host::lists_internal {

// A memory DC for measuring text outside a paint.
class TScreenDC {
public:
    TScreenDC();
    ~TScreenDC();
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

// The font's text height plus 2 (a list row).
int FontRowHeight(TFont* Font);
// One text row: the background (clHighlight when Selected) and the text 2 pixels in.
void DrawTextItem(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool Selected, bool Enabled,
                  TColor Back);
// Raises EListError "List index out of bounds (<Index>)".
[[noreturn]] void ListIndexError(int Index);
// Lists sort and search case-insensitively, as the framework's list controls do.
void MakeCaseInsensitiveSorted(TStringList* List);

}  // namespace host::lists_internal
