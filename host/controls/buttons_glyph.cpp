// Button glyphs and their layout beside the caption, the bitmap button with its standard kinds, and the speed button.
#include <algorithm>
#include <cstdint>

#include "host/app/app.h"
#include "host/controls/buttons.h"
#include "host/controls/controls_internal.h"
#include "host/controls/forms.h"
#include "host/gdi/gdi.h"
#include "host/windows/windows.h"

namespace host {

namespace {

// 0x00BBGGRR colour to the 0x00RRGGBB value of a scan line, and back.
uint32_t ToPixel(TColor C) {
    auto v = static_cast<uint32_t>(ColorToRGB(C));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}
TColor FromPixel(uint32_t P) {
    return static_cast<TColor>(((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF));
}
uint32_t* Row(TBitmap* B, int Y) { return static_cast<uint32_t*>(B->ScanLine(Y)); }

bool Loading(const TComponent* C) { return C->ComponentState().Contains(csLoading); }

// Stores Value in Field; true when it changed.
template <class T>
bool Change(T& Field, T Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Layout and caption
// ---------------------------------------------------------------------------

TButtonLayoutResult CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                                     TSize GlyphSize, TButtonLayout Layout, int Margin, int Spacing) {
    TButtonLayoutResult out;
    TRect text{0, 0, 0, 0};
    if (!Caption.empty()) {
        text = TRect{0, 0, Client.right - Client.left, 0};
        DrawTextA(Canvas->Handle(), Caption.c_str(), -1, &text, DT_CALCRECT);
    }
    TPoint textSize{text.right - text.left, text.bottom - text.top};
    TPoint clientSize{Client.right - Client.left, Client.bottom - Client.top};
    TPoint glyph{GlyphSize.cx, GlyphSize.cy};
    TPoint glyphPos{}, textPos{};
    bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    if (horizontal) {
        glyphPos.y = (clientSize.y - glyph.y + 1) / 2;
        textPos.y = (clientSize.y - textSize.y + 1) / 2;
    } else {
        glyphPos.x = (clientSize.x - glyph.x + 1) / 2;
        textPos.x = (clientSize.x - textSize.x + 1) / 2;
    }
    if (textSize.x == 0 || glyph.x == 0) Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            TPoint total{glyph.x + textSize.x, glyph.y + textSize.y};
            Margin = horizontal ? (clientSize.x - total.x) / 3 : (clientSize.y - total.y) / 3;
            Spacing = Margin;
        } else {
            TPoint total{glyph.x + Spacing + textSize.x, glyph.y + Spacing + textSize.y};
            Margin = horizontal ? (clientSize.x - total.x + 1) / 2 : (clientSize.y - total.y + 1) / 2;
        }
    } else if (Spacing == -1) {
        TPoint total{clientSize.x - (Margin + glyph.x), clientSize.y - (Margin + glyph.y)};
        Spacing = horizontal ? (total.x - textSize.x) / 2 : (total.y - textSize.y) / 2;
    }
    switch (Layout) {
        case blGlyphLeft:
            glyphPos.x = Margin;
            textPos.x = glyphPos.x + glyph.x + Spacing;
            break;
        case blGlyphRight:
            glyphPos.x = clientSize.x - Margin - glyph.x;
            textPos.x = glyphPos.x - Spacing - textSize.x;
            break;
        case blGlyphTop:
            glyphPos.y = Margin;
            textPos.y = glyphPos.y + glyph.y + Spacing;
            break;
        case blGlyphBottom:
            glyphPos.y = clientSize.y - Margin - glyph.y;
            textPos.y = glyphPos.y - Spacing - textSize.y;
            break;
    }
    out.GlyphPos = TPoint{glyphPos.x + Client.left + Offset.x, glyphPos.y + Client.top + Offset.y};
    out.TextBounds = text;
    OffsetRect(&out.TextBounds, textPos.x + Client.left + Offset.x, textPos.y + Client.top + Offset.y);
    return out;
}

void DrawButtonText(TCanvas* Canvas, const std::string& Caption, const TRect& Bounds, TButtonState State) {
    if (Caption.empty()) return;
    HDC dc = Canvas->Handle();
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TRect r = Bounds;
    UINT flags = DT_CENTER | DT_VCENTER;
    COLORREF old;
    if (State == bsDisabled) {
        OffsetRect(&r, 1, 1);
        old = SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
        DrawTextA(dc, Caption.c_str(), -1, &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
        DrawTextA(dc, Caption.c_str(), -1, &r, flags);
    } else {
        old = SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Canvas->Font()->Color())));
        DrawTextA(dc, Caption.c_str(), -1, &r, flags);
    }
    SetTextColor(dc, old);
    SetBkMode(dc, oldMode);
}

// ---------------------------------------------------------------------------
// TButtonGlyph
// ---------------------------------------------------------------------------

TButtonGlyph::TButtonGlyph() : FOriginal(std::make_unique<TBitmap>()) {
    FOriginal->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TButtonGlyph::~TButtonGlyph() { FOriginal->OnChange = nullptr; }

void TButtonGlyph::SetGlyph(TBitmap* Value) {
    FUpdating = true;
    FOriginal->Assign(Value);
    FUpdating = false;
    if (Value != nullptr && Value->Height() > 0 && Value->Width() % Value->Height() == 0) {
        int glyphs = Value->Width() / Value->Height();
        if (glyphs > 4) glyphs = 1;
        FNumGlyphs = glyphs;
    }
    Invalidate();
    OnChange(nullptr);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
    Value = std::clamp(Value, 1, 4);
    if (Value == FNumGlyphs) return;
    FNumGlyphs = Value;
    Invalidate();
    OnChange(nullptr);
}

TSize TButtonGlyph::GlyphSize() const {
    if (FOriginal->Empty()) return TSize{0, 0};
    return TSize{FOriginal->Width() / FNumGlyphs, FOriginal->Height()};
}

void TButtonGlyph::Invalidate() {
    for (auto& img : FImages) img.reset();
}

void TButtonGlyph::GlyphChanged(TObject*) {
    if (FUpdating) return;
    Invalidate();
    OnChange(nullptr);
}

TBitmap* TButtonGlyph::ImageFor(TButtonState State) {
    TSize size = GlyphSize();
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    auto& slot = FImages[static_cast<size_t>(State)];
    if (slot) return slot.get();
    int strip = State;
    if ((State == bsDown && FNumGlyphs < 3) || (State == bsExclusive && FNumGlyphs < 4)) strip = bsUp;
    bool makeDisabled = State == bsDisabled && FNumGlyphs < 2;
    if (makeDisabled) strip = bsUp;
    uint32_t transparent = ToPixel(FOriginal->TransparentColor());
    auto img = std::make_unique<TBitmap>(size.cx, size.cy);
    int x0 = strip * size.cx;
    if (!makeDisabled) {
        for (int y = 0; y < size.cy; ++y) {
            const uint32_t* src = Row(FOriginal.get(), y);
            uint32_t* dst = Row(img.get(), y);
            for (int x = 0; x < size.cx; ++x) dst[x] = src[x0 + x] & 0xFFFFFF;
        }
    } else {
        // Dark pixels of the up image become an embossed picture: highlight one pixel
        // down and right, shadow in place; white, light grey and transparent pixels stay out.
        std::vector<uint8_t> ink(static_cast<size_t>(size.cx * size.cy));
        for (int y = 0; y < size.cy; ++y) {
            const uint32_t* src = Row(FOriginal.get(), y);
            for (int x = 0; x < size.cx; ++x) {
                uint32_t p = src[x0 + x] & 0xFFFFFF;
                ink[static_cast<size_t>(y * size.cx + x)] = p != transparent && p != 0xFFFFFF && p != 0xC0C0C0;
            }
        }
        uint32_t hi = ToPixel(clBtnHighlight), sh = ToPixel(clBtnShadow);
        for (int y = 0; y < size.cy; ++y) {
            uint32_t* dst = Row(img.get(), y);
            for (int x = 0; x < size.cx; ++x) {
                bool here = ink[static_cast<size_t>(y * size.cx + x)];
                bool shadowed = x > 0 && y > 0 && ink[static_cast<size_t>((y - 1) * size.cx + x - 1)];
                dst[x] = here ? sh : shadowed ? hi : transparent;
            }
        }
    }
    img->SetTransparentColor(FromPixel(transparent));
    img->SetTransparent(true);
    slot = std::move(img);
    return slot.get();
}

void TButtonGlyph::DrawGlyph(TCanvas* Canvas, int X, int Y, TButtonState State) {
    if (TBitmap* img = ImageFor(State)) Canvas->Draw(X, Y, img);
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State) {
    TButtonLayoutResult lay = CalcButtonLayout(Canvas, Client, Offset, Caption, GlyphSize(), Layout, Margin, Spacing);
    DrawGlyph(Canvas, lay.GlyphPos.x, lay.GlyphPos.y, State);
    DrawButtonText(Canvas, Caption, lay.TextBounds, State);
    return lay.TextBounds;
}

// ---------------------------------------------------------------------------
// The standard kinds
// ---------------------------------------------------------------------------

namespace {

struct TKindInfo {
    const char* Caption;
    TModalResult Result;
    const char* const* Art;  // 16 rows of 16 palette letters; nullptr for bkCustom
};

// Palette of the pictures ('.' is the transparent olive background).
uint32_t ArtColor(char C) {
    switch (C) {
        case 'k': return 0x000000;
        case 'g': return 0x008000;
        case 'G': return 0x00FF00;
        case 'r': return 0x800000;
        case 'R': return 0xFF0000;
        case 'y': return 0xFFFF00;
        case 'n': return 0x000080;
        case 'b': return 0x0000FF;
        case 'w': return 0xFFFFFF;
        case 's': return 0xC0C0C0;
        case 'd': return 0x808080;
        default: return 0x808000;  // clOlive
    }
}

const char* const kTick[] = {
    "................", "................", "............gg..", "...........gGg..", "..........gGGg..",
    ".........gGGg...", "..gg....gGGg....", "..gGg..gGGg.....", "..gGGggGGg......", "...gGGGGg.......",
    "....gGGg........", ".....gg.........", "................", "................", "................",
    "................"};
const char* const kCross[] = {
    "................", "................", "...rr......rr...", "...rRr....rRr...", "....rRr..rRr....",
    ".....rRrrRr.....", "......rRRr......", "......rRRr......", ".....rRrrRr.....", "....rRr..rRr....",
    "...rRr....rRr...", "...rr......rr...", "................", "................", "................",
    "................"};
const char* const kQuestion[] = {
    "................", ".....nnnnn......", "....nbbbbbn.....", "...nbbnnnbbn....", "...nbbn.nbbn....",
    "....nn..nbbn....", ".......nbbn.....", "......nbbn......", ".....nbbn.......", ".....nbbn.......",
    ".....nnnn.......", "................", ".....nbbn.......", ".....nbbn.......", ".....nnnn.......",
    "................"};
const char* const kNo[] = {
    "................", ".....rrrrrr.....", "....rRRRRRRr....", "...rRRr..rRRr...", "..rRRRr....rRr..",
    "..rRrRRr...rRr..", "..rRr.rRr..rRr..", "..rRr..rRr.rRr..", "..rRr...rRrrRr..", "..rRr....rRRRr..",
    "...rRRr..rRRr...", "....rRRRRRRr....", ".....rrrrrr.....", "................", "................",
    "................"};
const char* const kDoor[] = {
    "................", "..kkkkkkkkkkk...", "..kdddddddddk...", "..kdrrrrrrrdk...", "..kdrRRRRRrdk...",
    "..kdrRRRRRrdk...", "..kdrRRRRRrdk...", "..kdrRRRyyrdk...", "..kdrRRRyyrdk...", "..kdrRRRRRrdk...",
    "..kdrRRRRRrdk...", "..kdrRRRRRrdk...", "..kdrrrrrrrdk...", "..kkkkkkkkkkk...", "................",
    "................"};
const char* const kStop[] = {
    "................", ".....rrrrrr.....", "....rRRRRRRr....", "...rRRRRRRRRr...", "..rRRRRRRRRRRr..",
    "..rRRRRRRRRRRr..", "..rRwwwwwwwwRr..", "..rRwwwwwwwwRr..", "..rRRRRRRRRRRr..", "..rRRRRRRRRRRr..",
    "...rRRRRRRRRr...", "....rRRRRRRr....", ".....rrrrrr.....", "................", "................",
    "................"};
const char* const kRetry[] = {
    "................", "......gggg.ggg..", "....ggGGGGgGGg..", "...gGGgggGGGGg..", "..gGGg...gGGGg..",
    "..gGg...gGGGGg..", "..gGg....ggggg..", "..gGg...........", "..gGg......gGg..", "..gGGg....gGGg..",
    "...gGGggggGGg...", "....ggGGGGgg....", "......gggg......", "................", "................",
    "................"};
const char* const kSkip[] = {
    "................", "................", "..........n.....", "..........nn....", "...nnnnnnnnbn...",
    "...nbbbbbbbbbn..", "...nbbbbbbbbbbn.", "...nbbbbbbbbbn..", "...nnnnnnnnbn...", "..........nn....",
    "..........n.....", "................", "..kkkkkkkkkkkk..", "................", "................",
    "................"};
const char* const kTicks[] = {
    "................", "................", "..........gg.gg.", ".........gGggGg.", "........gGggGg..",
    ".......gGggGg...", "gg....gGggGg....", "gGg..gGggGg.....", ".gGggGggGg......", "..gGGggGg.......",
    "...gGGgg........", "....gg..........", "................", "................", "................",
    "................"};

const TKindInfo& KindInfo(TBitBtnKind Kind) {
    static const TKindInfo table[] = {
        {"", mrNone, nullptr},          {"OK", mrOk, kTick},         {"Cancel", mrCancel, kCross},
        {"&Help", mrNone, kQuestion},   {"&Yes", mrYes, kTick},      {"&No", mrNo, kNo},
        {"&Close", mrNone, kDoor},      {"Abort", mrAbort, kStop},   {"&Retry", mrRetry, kRetry},
        {"&Ignore", mrIgnore, kSkip},   {"&All", mrAll, kTicks}};
    return table[std::clamp(static_cast<int>(Kind), 0, 10)];
}

}  // namespace

std::string BitBtnCaption(TBitBtnKind Kind) { return KindInfo(Kind).Caption; }
TModalResult BitBtnModalResult(TBitBtnKind Kind) { return KindInfo(Kind).Result; }

std::unique_ptr<TBitmap> BitBtnGlyph(TBitBtnKind Kind) {
    const char* const* art = KindInfo(Kind).Art;
    if (art == nullptr) return nullptr;
    // Two images side by side: the picture and its disabled form.
    auto bmp = std::make_unique<TBitmap>(32, 16);
    TButtonGlyph maker;
    auto up = std::make_unique<TBitmap>(16, 16);
    for (int y = 0; y < 16; ++y) {
        uint32_t* dst = Row(up.get(), y);
        for (int x = 0; x < 16; ++x) dst[x] = ArtColor(art[y][x]);
    }
    maker.SetGlyph(up.get());
    maker.SetNumGlyphs(1);
    bmp->Canvas()->Draw(0, 0, up.get());
    bmp->Canvas()->Brush()->SetColor(clOlive);
    TRect right{16, 0, 32, 16};
    bmp->Canvas()->FillRect(right);
    maker.DrawGlyph(bmp->Canvas(), 16, 0, bsDisabled);
    return bmp;
}

// ---------------------------------------------------------------------------
// TBitBtn
// ---------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), FGlyph(std::make_unique<TButtonGlyph>()), FDrawCanvas(std::make_unique<TCanvas>()) {
    FGlyph->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

TBitBtnKind TBitBtn::Kind() const {
    if (FKind != bkCustom) {
        bool isDefault = FKind == bkOK || FKind == bkYes;
        bool isCancel = FKind == bkCancel || FKind == bkNo;
        if (isDefault != Default() || isCancel != Cancel() || ModalResult() != BitBtnModalResult(FKind) ||
            FModifiedGlyph)
            FKind = bkCustom;
    }
    return FKind;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
    if (Value == Kind()) return;
    if (Value != bkCustom) {
        SetDefault(Value == bkOK || Value == bkYes);
        SetCancel(Value == bkCancel || Value == bkNo);
        if (!Loading(this) || Caption().empty()) SetCaption(BitBtnCaption(Value));
        SetModalResult(BitBtnModalResult(Value));
        std::unique_ptr<TBitmap> glyph = BitBtnGlyph(Value);
        FGlyph->SetGlyph(glyph.get());
        FGlyph->SetNumGlyphs(2);
        FModifiedGlyph = false;
    }
    FKind = Value;
    Invalidate();
}

void TBitBtn::SetGlyph(TBitmap* Value) {
    FGlyph->SetGlyph(Value);
    FModifiedGlyph = true;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
    FGlyph->SetNumGlyphs(Value);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    if (Change(FLayout, Value)) Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    if (Value >= -1 && Change(FMargin, Value)) Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    if (Change(FSpacing, Value)) Invalidate();
}

void TBitBtn::SetStyle(TButtonStyle Value) {
    if (Change(FStyle, Value)) Invalidate();
}

bool TBitBtn::IsCustomCaption() const { return Caption() != BitBtnCaption(Kind()); }

void TBitBtn::GlyphChanged(TObject*) {
    FModifiedGlyph = true;
    Invalidate();
}

void TBitBtn::Click() {
    TBitBtnKind kind = Kind();
    if (kind == bkClose) {
        if (TCustomForm* form = host::GetParentForm(this)) {
            form->Close();
            return;
        }
    } else if (kind == bkHelp) {
        TControl* c = this;
        while (c != nullptr && c->HelpContext() == 0) c = c->Parent();
        if (c != nullptr && Application != nullptr) {
            Application->HelpContext(c->HelpContext());
            return;
        }
    }
    inherited::Click();
}

void TBitBtn::Loaded() {
    inherited::Loaded();
    Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style |= BS_OWNERDRAW;
}

void TBitBtn::SetButtonStyle(bool ADefault) {
    if (ADefault == FIsFocused) return;
    FIsFocused = ADefault;
    Invalidate();
}

namespace {
// The old button face: a black outline with cut corners (two pixels thick on the
// default or focused button) and a two-pixel bevel, white on the top and left, shadow
// on the bottom and right; pressed, a one-pixel shadow on the top and left only.
// Returns the face inside the bevel.
TRect DrawWin31Face(HDC Dc, const TRect& Client, bool IsDown, bool IsThick) {
    TRect r = Client;
    FillRect(Dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    int frames = IsThick ? 2 : 1;
    for (int i = 0; i < frames; ++i) {
        FrameRect(Dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    // The outer corners stay the parent's face colour, as the old buttons were rounded.
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    SetPixel(Dc, Client.left, Client.top, face);
    SetPixel(Dc, Client.right - 1, Client.top, face);
    SetPixel(Dc, Client.left, Client.bottom - 1, face);
    SetPixel(Dc, Client.right - 1, Client.bottom - 1, face);
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT), shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    if (IsDown) {
        TRect top{r.left, r.top, r.right, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom};
        FillRect(Dc, &top, shadow);
        FillRect(Dc, &left, shadow);
        return TRect{r.left + 1, r.top + 1, r.right, r.bottom};
    }
    for (int i = 0; i < 2; ++i) {
        TRect top{r.left, r.top, r.right - 1, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom - 1};
        TRect bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
        FillRect(Dc, &top, light);
        FillRect(Dc, &left, light);
        FillRect(Dc, &bottom, shadow);
        FillRect(Dc, &right, shadow);
        InflateRect(&r, -1, -1);
    }
    return r;
}
}  // namespace

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& DrawItemStruct) {
    controls_internal::TCanvasOnDC on(FDrawCanvas.get(), DrawItemStruct.hDC, Font());
    TCanvas* canvas = FDrawCanvas.get();
    HDC dc = DrawItemStruct.hDC;
    TRect r = ClientRect();
    bool isDown = (DrawItemStruct.itemState & ODS_SELECTED) != 0;
    bool isDefault = (DrawItemStruct.itemState & ODS_FOCUS) != 0;
    TButtonState state = !Enabled() ? bsDisabled : isDown ? bsDown : bsUp;
    // bsAutoDetect follows the system, which has the new look.
    if (FStyle == bsWin31) {
        r = DrawWin31Face(dc, r, isDown, FIsFocused || isDefault);
        TRect text = FGlyph->Draw(canvas, r, TPoint{isDown ? 1 : 0, isDown ? 1 : 0}, Caption(), FLayout, FMargin,
                                  FSpacing, state);
        // The old style marks the focus round the caption only.
        if (isDefault && !Caption().empty()) {
            InflateRect(&text, 2, 1);
            DrawButtonFocusRect(dc, text);
        }
        return;
    }
    r = DrawButtonFace(dc, r, isDown, FIsFocused || isDefault, (DrawItemStruct.itemState & ODS_DISABLED) == 0);
    if (FIsFocused) {
        r = ClientRect();
        InflateRect(&r, -1, -1);
    }
    if (isDown) OffsetRect(&r, 1, 1);
    FGlyph->Draw(canvas, r, TPoint{0, 0}, Caption(), FLayout, FMargin, FSpacing, state);
    if (isDefault) {
        TRect f = ClientRect();
        InflateRect(&f, -4, -4);
        DrawButtonFocusRect(dc, f);
    }
}

void TBitBtn::CNDrawItem(TMessage& Message) {
    if (auto* ds = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)) DrawItem(*ds);
    Message.Result = 1;
}

void TBitBtn::CMSysColorChange(TMessage& Message) {
    FGlyph->Invalidate();
    Invalidate();
    Inherited(Message);
}

// ---------------------------------------------------------------------------
// TSpeedButton
// ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TButtonGlyph>()) {
    SetBounds(0, 0, 23, 22);
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    SetParentFont(true);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = nullptr; }

bool TSpeedButton::Inside(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width() && Y < Height(); }

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (Change(FAllowAllUp, Value)) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (Change(FGroupIndex, Value)) UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Invalidate();
    }
}

void TSpeedButton::SetFlat(bool Value) {
    if (Change(FFlat, Value)) Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->SetGlyph(Value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) { FGlyph->SetNumGlyphs(Value); }

void TSpeedButton::SetLayout(TButtonLayout Value) {
    if (Change(FLayout, Value)) Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    if (Value >= -1 && Change(FMargin, Value)) Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    if (Change(FSpacing, Value)) Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (Change(FTransparent, Value)) Invalidate();
}

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || Parent() == nullptr) return;
    TMessage m;
    m.Msg = CM_BUTTONPRESSED;
    m.WParam = static_cast<WPARAM>(FGroupIndex);
    m.LParam = reinterpret_cast<LPARAM>(static_cast<TObject*>(this));
    Parent()->Broadcast(m);
}

void TSpeedButton::CMButtonPressed(TMessage& Message) {
    if (Message.WParam != static_cast<WPARAM>(FGroupIndex)) return;
    auto* obj = reinterpret_cast<TObject*>(Message.LParam);
    if (obj == nullptr || obj == this || !obj->Is<TSpeedButton>()) return;
    auto* sender = static_cast<TSpeedButton*>(obj);
    if (sender->Down() && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = sender->AllowAllUp();
}

void TSpeedButton::Click() { inherited::Click(); }

void TSpeedButton::Loaded() {
    inherited::Loaded();
    FState = !Enabled() ? bsDisabled : (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
    Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    inherited::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        if (!FDown) {
            FState = bsDown;
            Invalidate();
        }
        FDragging = true;
    }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    inherited::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TButtonState next = FDown ? bsExclusive : bsUp;
    if (Inside(X, Y) && !FDown) next = bsDown;
    if (next != FState) {
        FState = next;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    controls_internal::TAliveGuard alive(this);
    inherited::MouseUp(Button, Shift, X, Y);
    if (!alive.Alive() || !FDragging) return;
    FDragging = false;
    bool doClick = Inside(X, Y);
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        if (FDown) FState = bsExclusive;
        Invalidate();
    } else {
        if (FDown) FState = bsExclusive;
        Invalidate();
    }
    FMouseInControl = FFlat && Inside(X, Y);
    if (doClick) Click();
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
    }
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    TRect paint{0, 0, Width(), Height()};
    bool down = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0);
        DrawFrameControl(dc, &paint, DFC_BUTTON, flags);
    } else {
        bool designing = ComponentState().Contains(csDesigning);
        if (down || (FMouseInControl && FState != bsDisabled) || designing) {
            DrawEdge(dc, &paint, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (FTransparent ? 0 : BF_MIDDLE));
        } else if (!FTransparent) {
            c->Brush()->SetColor(Color());
            c->FillRect(paint);
        }
        InflateRect(&paint, -1, -1);
    }
    TPoint offset{0, 0};
    if (down) {
        if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
            if (!FPattern) {
                FPattern = std::make_unique<TBitmap>(8, 8);
                uint32_t hi = ToPixel(clBtnHighlight), face = ToPixel(clBtnFace);
                for (int y = 0; y < 8; ++y) {
                    uint32_t* row = Row(FPattern.get(), y);
                    for (int x = 0; x < 8; ++x) row[x] = (x % 2 == y % 2) ? hi : face;
                }
            }
            c->Brush()->SetBitmap(FPattern.get());
            c->FillRect(paint);
            c->Brush()->SetBitmap(nullptr);
        }
        offset = TPoint{1, 1};
    }
    FGlyph->Draw(c, paint, offset, Caption(), FLayout, FMargin, FSpacing, FState);
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    Inherited(Message);
    if (Message.LParam != 0) return;
    if (FFlat && !FMouseInControl && Enabled() && GetCapture() == nullptr) {
        FMouseInControl = true;
        Invalidate();
    }
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    Inherited(Message);
    if (Message.LParam != 0) return;
    if (FFlat && FMouseInControl && Enabled() && !FDragging) {
        FMouseInControl = false;
        Invalidate();
    }
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
    Inherited(Message);
    if (!Enabled()) FMouseInControl = false;
    Invalidate();
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TSpeedButton::CMFontChanged(TMessage& Message) {
    Inherited(Message);
    Invalidate();
}

void TSpeedButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(Message.CharCode(), Caption()) && Enabled() && Visible() && Parent() != nullptr &&
        Parent()->Showing()) {
        Click();
        Message.Result = 1;
        return;
    }
    Inherited(Message);
}

void TSpeedButton::CMSysColorChange(TMessage& Message) {
    FGlyph->Invalidate();
    FPattern.reset();
    Invalidate();
    Inherited(Message);
}

}  // namespace host
