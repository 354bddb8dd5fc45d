// The system dialogs: opening and saving files, choosing a colour and choosing a font, each a form of our own.
#include "host/app/sysdialogs.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>

#include "host/app/app.h"
#include "host/app/dialogs.h"
#include "host/app/responders.h"
#include "host/controls/buttons.h"
#include "host/controls/edits.h"
#include "host/controls/extctrls.h"
#include "host/controls/forms.h"
#include "host/controls/lists.h"
#include "host/gdi/gdi.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

template <class T>
T* Add(TWinControl* Parent, int L, int T_, int W, int H, const std::string& Name = "") {
    auto* c = new T(Parent);  // owned by the form (its parent chain's owner)
    if (!Name.empty()) c->SetName(Name);
    c->SetBounds(L, T_, W, H);
    c->SetParent(Parent);
    return c;
}

TLabel* AddLabel(TWinControl* Parent, int L, int T_, const std::string& Caption, TWinControl* Focus) {
    auto* l = Add<TLabel>(Parent, L, T_, 10, 13);
    l->SetCaption(Caption);
    l->SetFocusControl(Focus);
    return l;
}

TButton* AddButton(TWinControl* Parent, int L, int T_, const std::string& Name, const std::string& Caption,
                   TModalResult Result) {
    auto* b = Add<TButton>(Parent, L, T_, 75, 23, Name);
    b->SetCaption(Caption);
    b->SetModalResult(Result);
    return b;
}

// A plain list of strings for the dialogs: click or arrow keys choose an item (Ctrl
// and Shift add to the choice with MultiSelect), a double click fires OnDblClick;
// a sunken edge and a vertical scroll bar when the items do not fit.
class TPickList : public TCustomControl {
    HOST_CLASS(TPickList, TCustomControl)
public:
    explicit TPickList(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
        SetTabStop(true);
        SetParentColorQuiet(false);
        FColor = clWindow;
        FItems->OnChange = TNotifyEvent(this, &TPickList::ItemsChanged);
    }
    ~TPickList() override { FItems->OnChange = nullptr; }
    TStrings* Items() const { return FItems.get(); }
    int ItemIndex() const { return FIndex; }
    void SetItemIndex(int Index) {
        FIndex = Index >= 0 && Index < FItems->Count() ? Index : -1;
        std::fill(FSelected.begin(), FSelected.end(), false);
        if (FIndex >= 0) FSelected[static_cast<size_t>(FIndex)] = true;
        MakeVisible();
        Invalidate();
    }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value) { FMultiSelect = Value; }
    bool Selected(int Index) const {
        return Index >= 0 && Index < static_cast<int>(FSelected.size()) && FSelected[static_cast<size_t>(Index)];
    }
    int ItemHeight() const { return std::max(13, Font()->Size() * 96 / 72 + 2); }

protected:
    void CreateParams(TCreateParams& Params) override {
        inherited::CreateParams(Params);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void CreateWnd() override {
        inherited::CreateWnd();
        UpdateScroll();
    }
    void Resize() override {
        inherited::Resize();
        UpdateScroll();
    }
    void Paint() override {
        TCanvas* cv = Canvas();
        TRect cr = ClientRect();
        cv->Brush()->SetColor(Color());
        cv->FillRect(cr);
        int h = ItemHeight();
        for (int i = FTop; i < FItems->Count() && (i - FTop) * h < cr.bottom; ++i) {
            TRect r{0, (i - FTop) * h, cr.right, (i - FTop + 1) * h};
            bool sel = Selected(i);
            cv->Brush()->SetColor(sel ? clHighlight : Color());
            cv->Font()->SetColor(sel ? clHighlightText : Font()->Color());
            cv->TextRect(r, r.left + 2, r.top + 1, FItems->Strings(i));
            if (i == FIndex && Focused()) cv->DrawFocusRect(r);
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (CanFocus()) SetFocus();
        int row = FTop + Y / ItemHeight();
        if (Button == mbLeft && row >= 0 && row < FItems->Count()) {
            if (FMultiSelect && Shift.Contains(ssCtrl)) {
                FSelected[static_cast<size_t>(row)] = !FSelected[static_cast<size_t>(row)];
                FIndex = row;
                Invalidate();
            } else if (FMultiSelect && Shift.Contains(ssShift) && FIndex >= 0) {
                std::fill(FSelected.begin(), FSelected.end(), false);
                for (int i = std::min(FIndex, row); i <= std::max(FIndex, row); ++i)
                    FSelected[static_cast<size_t>(i)] = true;
                FIndex = row;
                Invalidate();
            } else {
                SetItemIndex(row);
            }
            Click();
        }
        inherited::MouseDown(Button, Shift, X, Y);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        int page = std::max(1, ClientHeight() / ItemHeight() - 1);
        int i = FIndex;
        switch (Key) {
            case VK_UP: i -= 1; break;
            case VK_DOWN: i += 1; break;
            case VK_PRIOR: i -= page; break;
            case VK_NEXT: i += page; break;
            case VK_HOME: i = 0; break;
            case VK_END: i = FItems->Count() - 1; break;
            default: inherited::KeyDown(Key, Shift); return;
        }
        Key = 0;
        if (FItems->Count() == 0) return;
        SetItemIndex(std::clamp(i, 0, FItems->Count() - 1));
        Click();
    }

private:
    std::unique_ptr<TStringList> FItems;
    std::vector<bool> FSelected;
    int FIndex = -1, FTop = 0;
    bool FMultiSelect = false;

    int VisibleRows() const { return std::max(1, ClientHeight() / ItemHeight()); }
    void ItemsChanged(TObject*) {
        FSelected.assign(static_cast<size_t>(FItems->Count()), false);
        FIndex = -1;
        FTop = 0;
        UpdateScroll();
        Invalidate();
    }
    void MakeVisible() {
        if (FIndex < 0) return;
        if (FIndex < FTop) FTop = FIndex;
        else if (FIndex >= FTop + VisibleRows()) FTop = FIndex - VisibleRows() + 1;
        UpdateScroll();
    }
    void UpdateScroll() {
        if (!HandleAllocated()) return;
        SCROLLINFO si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        si.nMax = std::max(0, FItems->Count() - 1);
        si.nPage = static_cast<UINT>(VisibleRows());
        si.nPos = FTop;
        SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
    }
    void ScrollTo(int Top) {
        FTop = std::clamp(Top, 0, std::max(0, FItems->Count() - VisibleRows()));
        UpdateScroll();
        Invalidate();
    }
    void WMVScroll(TWMScroll& Message) {
        switch (Message.ScrollCode()) {
            case SB_LINEUP: ScrollTo(FTop - 1); break;
            case SB_LINEDOWN: ScrollTo(FTop + 1); break;
            case SB_PAGEUP: ScrollTo(FTop - VisibleRows()); break;
            case SB_PAGEDOWN: ScrollTo(FTop + VisibleRows()); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: ScrollTo(Message.Pos()); break;
            default: break;
        }
    }
    void WMMouseWheel(TWMMouseWheel& Message) { ScrollTo(FTop - Message.WheelDelta() / 40); }
    void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }
    void CMFocusChanged(TMessage& Message) {
        Inherited(Message);
        Invalidate();
    }
    TStrings* ItemsForStream() const { return FItems.get(); }
    void SetItemsForStream(TStrings* Value) { FItems->Assign(Value); }
    HOST_PUBLISHED(prop("Items", &TPickList::ItemsForStream, &TPickList::SetItemsForStream))
    HOST_MESSAGES(on(WM_VSCROLL, &TPickList::WMVScroll), on(WM_MOUSEWHEEL, &TPickList::WMMouseWheel),
                  on(WM_GETDLGCODE, &TPickList::WMGetDlgCode), on(CM_FOCUSCHANGED, &TPickList::CMFocusChanged))
};

// A dialog form: a fixed dialog frame, centred on the screen.
class TSysDialogForm : public TForm {
    HOST_CLASS(TSysDialogForm, TForm)
public:
    explicit TSysDialogForm(const std::string& Caption, int ClientW, int ClientH) : TForm(nullptr, 0) {
        SetBorderStyle(bsDialog);
        SetCaption(Caption);
        SetClientSize(ClientW, ClientH);
        int sw = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
        int sh = Screen != nullptr ? Screen->Height() : GetSystemMetrics(SM_CYSCREEN);
        SetBounds((sw - Width()) / 2, (sh - Height()) / 2, Width(), Height());
    }
};

// A caption without its accelerator marks, in lower case, for comparing.
std::string StripAmp(const std::string& Caption) {
    std::string s;
    for (char c : Caption)
        if (c != '&') s += c;
    return LowerCase(s);
}

// Shows Form modally with Info as its description for the responders.
int ShowDescribed(TCustomForm* Form, TDialogInfo Info) {
    Info.Form = Form;
    Info.ClickButton = [Form](const std::string& Caption) {
        std::string want = StripAmp(Caption);
        for (int i = 0; i < Form->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TButton*>(Form->Components(i));
                b != nullptr && StripAmp(b->Caption()) == want) {
                b->Click();
                return true;
            }
        return false;
    };
    Info.CurrentResult = [Form] { return Form->ModalResult(); };
    DescribeModalForm(Form, Info);
    struct TForget {
        TCustomForm* F;
        ~TForget() { ForgetModalForm(F); }
    } forget{Form};
    return Form->ShowModal();
}

// The description responders see of a system dialog.
TDialogInfo DialogInfo(TCommonDialog* Dialog, TDialogKind Kind, const std::string& Caption,
                       std::vector<std::string> Buttons, uint64_t Flags, std::vector<std::string>* Values) {
    TDialogInfo info;
    info.Kind = Kind;
    info.ClassName = Dialog->ClassName();
    info.Name = Dialog->Name();
    info.Caption = info.Text = Caption;
    info.Buttons = std::move(Buttons);
    info.Flags = static_cast<unsigned>(Flags);
    info.HelpCtx = Dialog->HelpContext();
    info.Object = Dialog;
    info.Values = Values;
    info.DefaultResult = mrCancel;
    return info;
}

bool HasWildcards(const std::string& S) { return S.find_first_of("*?") != std::string::npos; }

// True when Name matches one of the ';'-separated Masks (case-insensitive; "*.*"
// matches every name, with or without a dot).
bool MatchesMasks(const std::string& Name, const std::string& Masks) {
    size_t start = 0;
    while (start <= Masks.size()) {
        size_t end = Masks.find(';', start);
        if (end == std::string::npos) end = Masks.size();
        std::string m = Trim(Masks.substr(start, end - start));
        if (m == "*.*" || m == "*") return true;
        if (!m.empty() && fnmatch(m.c_str(), Name.c_str(), FNM_CASEFOLD) == 0) return true;
        start = end + 1;
    }
    return false;
}

// "a.txt" "b c.txt" -> {a.txt, b c.txt}; a text without quotes is one name.
std::vector<std::string> SplitQuoted(const std::string& Text) {
    std::vector<std::string> out;
    if (Text.find('"') == std::string::npos) {
        out.push_back(Text);
        return out;
    }
    size_t i = 0;
    while ((i = Text.find('"', i)) != std::string::npos) {
        size_t j = Text.find('"', i + 1);
        if (j == std::string::npos) j = Text.size();
        std::string s = Text.substr(i + 1, j - i - 1);
        if (!s.empty()) out.push_back(s);
        i = j + 1;
        if (i >= Text.size()) break;
    }
    return out;
}

std::string ResolveIn(const std::string& Folder, const std::string& Name) {
    std::string n = NormalizePath(Name);
    if (!n.empty() && n[0] == '~') {
        const char* home = std::getenv("HOME");
        if (home != nullptr) n = std::string(home) + n.substr(1);
    }
    if (n.empty() || n[0] != '/') n = IncludeTrailingPathDelimiter(Folder) + n;
    return ExpandFileName(n);
}

}  // namespace

// ---------------------------------------------------------------------------
// TCommonDialog
// ---------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
TCommonDialog::~TCommonDialog() = default;

// ---------------------------------------------------------------------------
// The file dialog's form
// ---------------------------------------------------------------------------

namespace {

class TFileDialogForm : public TSysDialogForm {
    HOST_CLASS(TFileDialogForm, TSysDialogForm)
public:
    TFileDialogForm(TOpenDialog* Dialog, const std::string& Caption, const std::string& OkCaption,
                    const std::string& Folder)
        : TSysDialogForm(Caption, 420, 266), FDialog(Dialog) {
        SetName("FileDialogForm");
        FFolderCombo = Add<TComboBox>(this, 80, 8, 250, 21, "FolderCombo");
        FFolderCombo->SetStyle(csDropDownList);
        FFolderCombo->SetDropDownCount(12);
        AddLabel(this, 8, 12, "Look &in:", FFolderCombo);
        FUp = AddButton(this, 336, 7, "UpButton", "&Up", mrNone);
        FUp->SetWidth(76);
        FList = Add<TListBox>(this, 8, 38, 404, 142, "FileList");
        FList->SetMultiSelect(Dialog->Options().Contains(ofAllowMultiSelect));
        FNameEdit = Add<TEdit>(this, 96, 192, 232, 21, "FileNameEdit");
        AddLabel(this, 8, 196, "File &name:", FNameEdit);
        FTypeCombo = Add<TComboBox>(this, 96, 223, 232, 21, "FileTypeCombo");
        FTypeCombo->SetStyle(csDropDownList);
        AddLabel(this, 8, 227, "Files of &type:", FTypeCombo);
        FOk = AddButton(this, 337, 191, "OKButton", OkCaption, mrNone);
        FOk->SetDefault(true);
        auto* cancel = AddButton(this, 337, 223, "CancelButton", "Cancel", mrCancel);
        cancel->SetCancel(true);
        FFolderCombo->SetTabOrder(0);
        FUp->SetTabOrder(1);
        FList->SetTabOrder(2);
        FNameEdit->SetTabOrder(3);
        FTypeCombo->SetTabOrder(4);

        for (auto& [desc, masks] : Dialog->FilterPairs()) {
            FTypeCombo->Items()->Add(desc);
            FMasks.push_back(masks);
        }
        if (FMasks.empty()) {
            FTypeCombo->Items()->Add("All files (*.*)");
            FMasks.push_back("*.*");
        }
        int index = Dialog->FilterIndex() - 1;
        FTypeCombo->SetItemIndex(index >= 0 && index < static_cast<int>(FMasks.size()) ? index : 0);
        std::string name = Dialog->FileName();
        if (!name.empty() && ExtractFilePath(name).empty()) FNameEdit->SetText(name);
        else FNameEdit->SetText(ExtractFileName(name));

        FUp->OnClick = TNotifyEvent(this, &TFileDialogForm::UpClick);
        FOk->OnClick = TNotifyEvent(this, &TFileDialogForm::OkClick);
        FList->OnClick = TNotifyEvent(this, &TFileDialogForm::ListClick);
        FList->OnDblClick = TNotifyEvent(this, &TFileDialogForm::ListDblClick);
        FList->OnKeyDown = TKeyEvent(this, &TFileDialogForm::ListKeyDown);
        FTypeCombo->OnChange = TNotifyEvent(this, &TFileDialogForm::TypeChosen);
        FFolderCombo->OnChange = TNotifyEvent(this, &TFileDialogForm::FolderChosen);
        SetActiveControl(FNameEdit);
        Navigate(Folder);
    }

    const std::string& Folder() const { return FFolder; }
    int TypeIndex() const { return FTypeCombo->ItemIndex() + 1; }
    bool Accepted = false;

    void Navigate(const std::string& Folder) {
        FFolder = ExcludeTrailingPathDelimiter(Folder);
        if (FFolder.empty()) FFolder = "/";
        // The folder and each of its parents, the root first.
        FFolderCombo->Items()->BeginUpdate();
        FFolderCombo->Items()->Clear();
        std::vector<std::string> chain;
        for (std::string f = FFolder;; f = ExtractFileDir(f)) {
            chain.push_back(f.empty() ? "/" : f);
            if (f.empty() || f == "/" || ExtractFileDir(f) == f) break;
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) FFolderCombo->Items()->Add(*it);
        FFolderCombo->Items()->EndUpdate();
        FFolderCombo->SetItemIndex(FFolderCombo->Items()->Count() - 1);
        FUp->SetEnabled(chain.size() > 1);
        ListFolder();
        FDialog->OnFolderChange(FDialog);
    }

    void ListFolder() {
        std::string masks = FMaskOverride.empty() ? FMasks[static_cast<size_t>(std::max(0, TypeIndex() - 1))]
                                                  : FMaskOverride;
        std::vector<std::string> dirs, files;
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator(FFolder, ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (name.empty() || name[0] == '.') continue;
            std::error_code ec2;
            if (it->is_directory(ec2)) dirs.push_back(name);
            else if (MatchesMasks(name, masks)) files.push_back(name);
        }
        auto byName = [](const std::string& a, const std::string& b) {
            int c = CompareText(a, b);
            return c != 0 ? c < 0 : a < b;
        };
        std::sort(dirs.begin(), dirs.end(), byName);
        std::sort(files.begin(), files.end(), byName);
        FList->Items()->BeginUpdate();
        FList->Items()->Clear();
        FEntries.clear();
        for (auto& d : dirs) {
            FList->Items()->Add("[" + d + "]");
            FEntries.push_back({d, true});
        }
        for (auto& f : files) {
            FList->Items()->Add(f);
            FEntries.push_back({f, false});
        }
        FList->Items()->EndUpdate();
        FList->SetItemIndex(-1);
    }

private:
    struct TEntry {
        std::string Name;
        bool Folder;
    };
    TOpenDialog* FDialog;
    std::string FFolder, FMaskOverride;
    std::vector<std::string> FMasks;
    std::vector<TEntry> FEntries;
    TComboBox* FFolderCombo;
    TComboBox* FTypeCombo;
    TListBox* FList;
    TEdit* FNameEdit;
    TButton* FOk;
    TButton* FUp;

    const TEntry* FocusedEntry() const {
        int i = FList->ItemIndex();
        return i >= 0 && i < static_cast<int>(FEntries.size()) ? &FEntries[static_cast<size_t>(i)] : nullptr;
    }

    std::vector<const TEntry*> SelectedFiles() const {
        std::vector<const TEntry*> out;
        for (int i = 0; i < FList->Items()->Count() && i < static_cast<int>(FEntries.size()); ++i) {
            bool sel = FList->MultiSelect() ? FList->Selected(i) : FList->ItemIndex() == i;
            if (sel && !FEntries[static_cast<size_t>(i)].Folder) out.push_back(&FEntries[static_cast<size_t>(i)]);
        }
        return out;
    }

    void UpClick(TObject*) {
        std::string parent = ExtractFileDir(FFolder);
        if (parent.empty()) parent = "/";
        if (parent == FFolder) return;
        std::string child = ExtractFileName(FFolder);
        Navigate(parent);
        // The folder just left stays chosen, so Enter goes back into it.
        for (size_t i = 0; i < FEntries.size(); ++i)
            if (FEntries[i].Folder && FEntries[i].Name == child) FList->SetItemIndex(static_cast<int>(i));
    }

    void FolderChosen(TObject*) {
        int i = FFolderCombo->ItemIndex();
        if (i >= 0 && FFolderCombo->Items()->Strings(i) != FFolder) {
            FMaskOverride.clear();
            Navigate(FFolderCombo->Items()->Strings(i));
        }
    }

    // Backspace in the list goes up a folder.
    void ListKeyDown(TObject*, WORD& Key, TShiftState) {
        if (Key == VK_BACK) {
            Key = 0;
            UpClick(this);
        }
    }

    void ListClick(TObject*) {
        auto files = SelectedFiles();
        if (files.empty()) return;
        if (files.size() == 1) {
            FNameEdit->SetText(files[0]->Name);
        } else {
            std::string s;
            for (auto* f : files) s += (s.empty() ? "\"" : " \"") + f->Name + "\"";
            FNameEdit->SetText(s);
        }
        FDialog->OnSelectionChange(FDialog);
    }

    void ListDblClick(TObject*) {
        int i = FList->ItemIndex();
        if (i < 0 || i >= static_cast<int>(FEntries.size())) return;
        const TEntry& e = FEntries[static_cast<size_t>(i)];
        if (e.Folder) {
            Navigate(IncludeTrailingPathDelimiter(FFolder) + e.Name);
        } else {
            FNameEdit->SetText(e.Name);
            OkClick(this);
        }
    }

    void TypeChosen(TObject*) {
        if (FTypeCombo->ItemIndex() < 0) return;
        FMaskOverride.clear();
        ListFolder();
        FDialog->SetFilterIndex(TypeIndex());
        FDialog->OnTypeChange(FDialog);
    }

    void OkClick(TObject*) {
        // Enter on a folder in the list opens it.
        if (FList->Focused() && FocusedEntry() != nullptr && FocusedEntry()->Folder) {
            FMaskOverride.clear();
            Navigate(IncludeTrailingPathDelimiter(FFolder) + FocusedEntry()->Name);
            return;
        }
        std::string text = Trim(FNameEdit->Text());
        std::vector<std::string> names;
        if (text.empty()) {
            for (auto* f : SelectedFiles()) names.push_back(f->Name);
            if (names.empty()) return;
        } else if (FDialog->Options().Contains(ofAllowMultiSelect)) {
            names = SplitQuoted(text);
        } else {
            names.push_back(text);
        }
        if (names.size() == 1) {
            std::string full = ResolveIn(FFolder, names[0]);
            if (DirectoryExists(full)) {
                // A folder name opens the folder.
                FNameEdit->SetText("");
                FMaskOverride.clear();
                Navigate(full);
                return;
            }
            if (HasWildcards(names[0])) {
                // A mask filters the list.
                FMaskOverride = ExtractFileName(names[0]);
                std::string dir = ExtractFileDir(full);
                if (dir != FFolder && DirectoryExists(dir)) Navigate(dir);
                else ListFolder();
                return;
            }
        }
        if (FDialog->AcceptNames(names, FFolder, TypeIndex())) {
            Accepted = true;
            SetModalResult(mrOk);
        }
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// TOpenDialog
// ---------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const std::string& Value) {
    // Kept without a leading dot: "txt" and ".txt" mean the same.
    FDefaultExt = !Value.empty() && Value[0] == '.' ? Value.substr(1) : Value;
}

std::vector<std::pair<std::string, std::string>> TOpenDialog::FilterPairs() const {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= FFilter.size() && !FFilter.empty()) {
        size_t bar = FFilter.find('|', start);
        if (bar == std::string::npos) bar = FFilter.size();
        parts.push_back(FFilter.substr(start, bar - start));
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], parts[i + 1]);
    // A description without masks filters by its own text.
    if (parts.size() % 2 == 1 && !parts.back().empty()) out.emplace_back(parts.back(), parts.back());
    return out;
}

bool TOpenDialog::AcceptNames(std::vector<std::string> Names, const std::string& Folder, int AFilterIndex) {
    std::vector<std::string> full;
    for (auto& n : Names) {
        std::string t = Trim(n);
        if (t.empty()) continue;
        std::string p = ResolveIn(Folder, t);
        if (!FDefaultExt.empty() && ExtractFileExt(p).empty()) p += "." + FDefaultExt;
        full.push_back(p);
        if (!FOptions.Contains(ofAllowMultiSelect)) break;
    }
    if (full.empty()) return false;
    for (auto& p : full) {
        if (DirectoryExists(p)) return false;  // a folder is not a file to open or save
        std::string dir = ExtractFileDir(p);
        if ((FOptions.Contains(ofPathMustExist) || FOptions.Contains(ofFileMustExist)) && !DirectoryExists(dir)) {
            MessageDlg(dir + "\nPath does not exist.\nCheck the path and try again.", mtWarning, {mbOK});
            return false;
        }
        bool exists = FileExists(p);
        std::string shortName = ExtractFileName(p);
        if (!exists && FOptions.Contains(ofFileMustExist)) {
            MessageDlg(shortName + "\nFile not found.\nCheck the file name and try again.", mtWarning, {mbOK});
            return false;
        }
        if (!exists && FOptions.Contains(ofCreatePrompt) &&
            MessageDlg(shortName + "\nThis file does not exist.\nDo you want to create it?", mtConfirmation,
                       {mbYes, mbNo}) != mrYes)
            return false;
        if (exists && IsSaveDialog() && FOptions.Contains(ofOverwritePrompt) &&
            MessageDlg(shortName + " already exists.\nDo you want to replace it?", mtWarning, {mbYes, mbNo}) != mrYes)
            return false;
    }
    // OnCanClose sees the new names and may refuse them (then nothing changes).
    std::string oldName = FFileName;
    std::string oldFiles = FFiles->Text();
    int oldIndex = FFilterIndex;
    FFileName = full[0];
    FFiles->Clear();
    for (auto& p : full) FFiles->Add(p);
    FFilterIndex = AFilterIndex;
    bool canClose = true;
    OnCanClose(this, canClose);
    if (!canClose) {
        FFileName = oldName;
        FFiles->SetText(oldFiles);
        FFilterIndex = oldIndex;
        return false;
    }
    FLastFolder = ExtractFileDir(full[0]);
    return true;
}

bool TOpenDialog::Execute() {
    std::string folder = FInitialDir;
    if (folder.empty() && !ExtractFilePath(FFileName).empty()) folder = ExtractFileDir(FFileName);
    if (folder.empty()) folder = FLastFolder;
    if (folder.empty() || !DirectoryExists(ExpandFileName(folder))) folder = GetCurrentDir();
    folder = ExpandFileName(folder);
    std::string title = FTitle.empty() ? DefaultTitle() : FTitle;
    std::string okCaption = IsSaveDialog() ? "&Save" : "&Open";
    auto form = std::make_unique<TFileDialogForm>(this, title, okCaption, folder);

    std::vector<std::string> values;
    if (!FFileName.empty()) values.push_back(FFileName);
    DoShow();
    int result = ShowDescribed(form.get(), DialogInfo(this, IsSaveDialog() ? dkSaveDialog : dkOpenDialog, title,
                                                      {okCaption, "Cancel"}, FOptions.Bits(), &values));
    bool accepted = form->Accepted;
    std::string formFolder = form->Folder();
    int typeIndex = form->TypeIndex();
    form.reset();
    DoClose();
    if (result != mrOk) return false;
    if (accepted) return true;
    // Answered without the form: the names given go through the same checks.
    return AcceptNames(values, formFolder, typeIndex);
}

// ---------------------------------------------------------------------------
// The colour dialog
// ---------------------------------------------------------------------------

namespace {
constexpr TColor RGBColor(uint32_t rgb) {
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
}  // namespace

const TColor BasicColors[48] = {
    RGBColor(0xFF8080), RGBColor(0xFFFF80), RGBColor(0x80FF80), RGBColor(0x00FF80), RGBColor(0x80FFFF),
    RGBColor(0x0080FF), RGBColor(0xFF80C0), RGBColor(0xFF80FF), RGBColor(0xFF0000), RGBColor(0xFFFF00),
    RGBColor(0x80FF00), RGBColor(0x00FF40), RGBColor(0x00FFFF), RGBColor(0x0080C0), RGBColor(0x8080C0),
    RGBColor(0xFF00FF), RGBColor(0x804040), RGBColor(0xFF8040), RGBColor(0x00FF00), RGBColor(0x008080),
    RGBColor(0x004080), RGBColor(0x8080FF), RGBColor(0x800040), RGBColor(0xFF0080), RGBColor(0x800000),
    RGBColor(0xFF8000), RGBColor(0x008000), RGBColor(0x008040), RGBColor(0x0000FF), RGBColor(0x0000A0),
    RGBColor(0x800080), RGBColor(0x8000FF), RGBColor(0x400000), RGBColor(0x804000), RGBColor(0x004000),
    RGBColor(0x004040), RGBColor(0x000080), RGBColor(0x000040), RGBColor(0x400040), RGBColor(0x400080),
    RGBColor(0x000000), RGBColor(0x808000), RGBColor(0x808040), RGBColor(0x808080), RGBColor(0x408080),
    RGBColor(0xC0C0C0), RGBColor(0x400040), RGBColor(0xFFFFFF)};

namespace {

// A grid of colour swatches: a click or the arrow keys choose one, a double click
// or Enter confirms the dialog.
class TColorSwatches : public TCustomControl {
    HOST_CLASS(TColorSwatches, TCustomControl)
public:
    static constexpr int kCellW = 26, kCellH = 22, kColumns = 8;
    explicit TColorSwatches(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        FColor = clBtnFace;
    }
    std::vector<TColor> Colors;
    int Selected = -1;
    TNotifyEvent OnSelect;

    void Select(int Index) {
        if (Index < 0 || Index >= static_cast<int>(Colors.size())) return;
        Selected = Index;
        Invalidate();
        OnSelect(this);
    }
    int IndexAt(int X, int Y) const {
        int c = X / kCellW, r = Y / kCellH;
        int i = r * kColumns + c;
        return c < kColumns && i < static_cast<int>(Colors.size()) && X >= 0 && Y >= 0 ? i : -1;
    }

protected:
    void Paint() override {
        TCanvas* cv = Canvas();
        cv->Brush()->SetColor(Color());
        cv->FillRect(ClientRect());
        for (int i = 0; i < static_cast<int>(Colors.size()); ++i) {
            TRect r{(i % kColumns) * kCellW + 2, (i / kColumns) * kCellH + 2, 0, 0};
            r.right = r.left + kCellW - 4;
            r.bottom = r.top + kCellH - 4;
            if (i == Selected) {
                TRect f = r;
                InflateRect(&f, 2, 2);
                cv->Brush()->SetColor(clBlack);
                cv->FrameRect(f);
            }
            Frame3D(cv, r, clBtnShadow, clBtnHighlight, 1);
            cv->Brush()->SetColor(Colors[static_cast<size_t>(i)]);
            cv->FillRect(r);
            if (i == Selected && Focused()) {
                TRect f = r;
                InflateRect(&f, 3, 3);
                cv->DrawFocusRect(f);
            }
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (CanFocus()) SetFocus();
        Select(IndexAt(X, Y));
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void DblClick() override {
        TCustomControl::DblClick();
        if (TCustomForm* f = host::GetParentForm(this); f != nullptr && Selected >= 0) f->SetModalResult(mrOk);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        int i = std::max(Selected, 0);
        switch (Key) {
            case VK_LEFT: i -= 1; break;
            case VK_RIGHT: i += 1; break;
            case VK_UP: i -= kColumns; break;
            case VK_DOWN: i += kColumns; break;
            default: TCustomControl::KeyDown(Key, Shift); return;
        }
        Select(std::clamp(i, 0, static_cast<int>(Colors.size()) - 1));
        Key = 0;
    }

private:
    void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }
    void CMFocusChanged(TMessage& Message) {
        Inherited(Message);
        Invalidate();
    }
    HOST_MESSAGES(on(WM_GETDLGCODE, &TColorSwatches::WMGetDlgCode),
                  on(CM_FOCUSCHANGED, &TColorSwatches::CMFocusChanged))
};

class TColorDialogForm : public TSysDialogForm {
    HOST_CLASS(TColorDialogForm, TSysDialogForm)
public:
    TColorDialogForm(TColor Initial, const std::vector<TColor>& Custom)
        : TSysDialogForm("Color", 8 * TColorSwatches::kCellW + 16, 6 * TColorSwatches::kCellH + 162),
          Chosen(Initial) {
        SetName("ColorDialogForm");
        int w = 8 * TColorSwatches::kCellW;
        FBasic = Add<TColorSwatches>(this, 8, 24, w, 6 * TColorSwatches::kCellH, "BasicColors");
        FBasic->Colors.assign(std::begin(BasicColors), std::end(BasicColors));
        AddLabel(this, 8, 6, "&Basic colors:", FBasic);
        int top = FBasic->Top() + FBasic->Height() + 22;
        FCustom = Add<TColorSwatches>(this, 8, top, w, 2 * TColorSwatches::kCellH, "CustomColors");
        FCustom->Colors = Custom;
        AddLabel(this, 8, top - 18, "&Custom colors:", FCustom);
        top = FCustom->Top() + FCustom->Height() + 8;
        FSample = Add<TPanel>(this, 8, top, w, 24, "Sample");
        FSample->SetBevelOuter(bvLowered);
        top += 32;
        auto* ok = AddButton(this, 8 + w - 158, top, "OKButton", "OK", mrOk);
        ok->SetDefault(true);
        AddButton(this, 8 + w - 75, top, "CancelButton", "Cancel", mrCancel)->SetCancel(true);
        for (int i = 0; i < 48; ++i)
            if (ColorToRGB(BasicColors[i]) == ColorToRGB(Initial)) FBasic->Selected = i;
        FBasic->OnSelect = TNotifyEvent(this, &TColorDialogForm::Picked);
        FCustom->OnSelect = TNotifyEvent(this, &TColorDialogForm::Picked);
        FSample->SetColor(Initial);
        SetActiveControl(FBasic);
    }
    TColor Chosen;

private:
    TColorSwatches* FBasic;
    TColorSwatches* FCustom;
    TPanel* FSample;
    void Picked(TObject* Sender) {
        auto* grid = static_cast<TColorSwatches*>(Sender);
        TColorSwatches* other = grid == FBasic ? FCustom : FBasic;
        other->Selected = -1;
        other->Invalidate();
        Chosen = grid->Colors[static_cast<size_t>(grid->Selected)];
        FSample->SetColor(Chosen);
    }
};

}  // namespace

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

void TColorDialog::SetCustomColors(TStrings* Value) { FCustomColors->Assign(Value); }

std::vector<TColor> TColorDialog::CustomColorValues() const {
    std::vector<TColor> out(16, clWhite);
    for (int i = 0; i < 16; ++i) {
        std::string v = Trim(FCustomColors->Values(std::string("Color") + static_cast<char>('A' + i)));
        int n = 0;
        if (!v.empty() && TryStrToInt("$" + v, n) && n >= 0 && n <= 0xFFFFFF)
            out[static_cast<size_t>(i)] = static_cast<TColor>(n);
    }
    return out;
}

bool TColorDialog::Execute() {
    auto form = std::make_unique<TColorDialogForm>(FColor, CustomColorValues());
    std::vector<std::string> values{ColorToString(FColor)};
    DoShow();
    std::string before = values[0];
    int result = ShowDescribed(
        form.get(), DialogInfo(this, dkSystemDialog, "Color", {"OK", "Cancel"}, FOptions.Bits(), &values));
    TColor chosen = form->Chosen;
    form.reset();
    DoClose();
    if (result != mrOk) return false;
    if (values.empty() || values[0] == before) {
        FColor = chosen;
        return true;
    }
    // A colour given by the responder: a colour name or a number; junk is refused.
    try {
        FColor = StringToColor(Trim(values[0]));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The font dialog
// ---------------------------------------------------------------------------

namespace {

const char* const kStyleNames[] = {"Regular", "Italic", "Bold", "Bold Italic"};
const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

class TFontDialogForm : public TSysDialogForm {
    HOST_CLASS(TFontDialogForm, TSysDialogForm)
public:
    TFontDialogForm(TFont* Initial, TFontDialogOptions Options, int MinSize, int MaxSize)
        : TSysDialogForm("Font", 400, 290), FFont(std::make_unique<TFont>()), FMin(MinSize), FMax(MaxSize) {
        SetName("FontDialogForm");
        FFont->Assign(Initial);
        FNames = Add<TPickList>(this, 8, 24, 170, 120, "FontNames");
        AddLabel(this, 8, 6, "&Font:", FNames);
        FStyles = Add<TPickList>(this, 186, 24, 110, 120, "FontStyles");
        AddLabel(this, 186, 6, "Font st&yle:", FStyles);
        FSizeEdit = Add<TEdit>(this, 304, 24, 88, 21, "FontSizeEdit");
        AddLabel(this, 304, 6, "&Size:", FSizeEdit);
        FSizes = Add<TPickList>(this, 304, 48, 88, 96, "FontSizes");
        auto* effects = Add<TGroupBox>(this, 8, 152, 170, 70, "Effects");
        effects->SetCaption("Effects");
        FStrike = Add<TCheckBox>(effects, 10, 20, 150, 17, "StrikeOut");
        FStrike->SetCaption("Stri&keout");
        FUnderline = Add<TCheckBox>(effects, 10, 42, 150, 17, "Underline");
        FUnderline->SetCaption("&Underline");
        effects->SetVisible(Options.Contains(fdEffects));
        auto* sampleBox = Add<TGroupBox>(this, 186, 152, 206, 96, "SampleBox");
        sampleBox->SetCaption("Sample");
        FSample = Add<TPanel>(sampleBox, 8, 18, 190, 70, "Sample");
        FSample->SetBevelOuter(bvLowered);
        FSample->SetCaption("AaBbYyZz");
        FSample->SetParentFont(false);
        auto* ok = AddButton(this, 236, 258, "OKButton", "OK", mrOk);
        ok->SetDefault(true);
        AddButton(this, 317, 258, "CancelButton", "Cancel", mrCancel)->SetCancel(true);

        TStrings* fonts = Screen != nullptr ? Screen->Fonts() : nullptr;
        if (fonts != nullptr)
            for (int i = 0; i < fonts->Count(); ++i) FNames->Items()->Add(fonts->Strings(i));
        if (FNames->Items()->IndexOf(FFont->Name()) < 0) FNames->Items()->Insert(0, FFont->Name());
        for (const char* s : kStyleNames) FStyles->Items()->Add(s);
        for (int s : kSizes)
            if (SizeAllowed(s)) FSizes->Items()->Add(std::to_string(s));
        FNames->SetItemIndex(FNames->Items()->IndexOf(FFont->Name()));
        TFontStyles st = FFont->Style();
        FStyles->SetItemIndex((st.Contains(fsBold) ? 2 : 0) + (st.Contains(fsItalic) ? 1 : 0));
        FSizeEdit->SetText(std::to_string(FFont->Size()));
        FSizes->SetItemIndex(FSizes->Items()->IndexOf(std::to_string(FFont->Size())));
        FStrike->SetChecked(st.Contains(fsStrikeOut));
        FUnderline->SetChecked(st.Contains(fsUnderline));

        FNames->OnClick = TNotifyEvent(this, &TFontDialogForm::ShowSample);
        FStyles->OnClick = TNotifyEvent(this, &TFontDialogForm::ShowSample);
        FSizes->OnClick = TNotifyEvent(this, &TFontDialogForm::SizePicked);
        FSizeEdit->OnChange = TNotifyEvent(this, &TFontDialogForm::ShowSample);
        FStrike->OnClick = TNotifyEvent(this, &TFontDialogForm::ShowSample);
        FUnderline->OnClick = TNotifyEvent(this, &TFontDialogForm::ShowSample);
        FReady = true;
        ShowSample(this);
        SetActiveControl(FNames);
    }
    TFont* Chosen() const { return FFont.get(); }

    bool SizeAllowed(int Size) const { return Size > 0 && (FMin <= 0 || Size >= FMin) && (FMax <= 0 || Size <= FMax); }

private:
    std::unique_ptr<TFont> FFont;
    int FMin, FMax;
    bool FReady = false;
    TPickList* FNames;
    TPickList* FStyles;
    TPickList* FSizes;
    TEdit* FSizeEdit;
    TCheckBox* FStrike;
    TCheckBox* FUnderline;
    TPanel* FSample;

    void SizePicked(TObject*) {
        int i = FSizes->ItemIndex();
        if (i >= 0) FSizeEdit->SetText(FSizes->Items()->Strings(i));
    }
    void ShowSample(TObject*) {
        if (!FReady) return;
        int n = FNames->ItemIndex();
        if (n >= 0) FFont->SetName(FNames->Items()->Strings(n));
        TFontStyles st;
        int s = FStyles->ItemIndex();
        if (s == 1 || s == 3) st.Include(fsItalic);
        if (s >= 2) st.Include(fsBold);
        if (FStrike->Checked()) st.Include(fsStrikeOut);
        if (FUnderline->Checked()) st.Include(fsUnderline);
        FFont->SetStyle(st);
        int size = StrToIntDef(Trim(FSizeEdit->Text()), 0);
        if (SizeAllowed(size)) FFont->SetSize(size);
        FSample->Font()->Assign(FFont.get());
    }
};

}  // namespace

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

bool TFontDialog::Execute() {
    int minSize = FOptions.Contains(fdLimitSize) ? FMinFontSize : 0;
    int maxSize = FOptions.Contains(fdLimitSize) ? FMaxFontSize : 0;
    auto form = std::make_unique<TFontDialogForm>(FFont.get(), FOptions, minSize, maxSize);
    const TTypeInfo* styleType = TypeInfoOf<TFontStyles>();
    std::vector<std::string> values{FFont->Name(), std::to_string(FFont->Size()),
                                    SetToString(styleType, FFont->Style().Bits(), true),
                                    ColorToString(FFont->Color())};
    const std::vector<std::string> before = values;
    DoShow();
    int result = ShowDescribed(
        form.get(), DialogInfo(this, dkSystemDialog, "Font", {"OK", "Cancel"}, FOptions.Bits(), &values));
    TFont chosen;
    chosen.Assign(form->Chosen());
    form.reset();
    DoClose();
    if (result != mrOk) return false;
    if (values == before) {
        FFont->Assign(&chosen);
        return true;
    }
    // Values given by the responder: checked before anything changes.
    values.resize(4);
    std::string name = Trim(values[0]);
    int size = StrToIntDef(Trim(values[1]), -1);
    bool sizeOk = size > 0 && (minSize <= 0 || size >= minSize) && (maxSize <= 0 || size <= maxSize);
    if (name.empty() || !sizeOk) return false;
    TFontStyles style;
    TColor color;
    try {
        style = TFontStyles::FromBits(StringToSet(styleType, Trim(values[2]).empty() ? "[]" : Trim(values[2])));
        color = values[3].empty() ? FFont->Color() : StringToColor(Trim(values[3]));
    } catch (const Exception&) {
        return false;
    }
    FFont->SetName(name);
    FFont->SetSize(size);
    FFont->SetStyle(style);
    FFont->SetColor(color);
    return true;
}

void RegisterDialogClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterClasses({TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                     TFontDialog::StaticClass()});
}

}  // namespace host
