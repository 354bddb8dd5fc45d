// The system dialogs: opening and saving files, choosing a colour and choosing a font, each a form of our own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/graphics/graphics.h"
#include "host/rtl/component.h"
#include "host/rtl/events.h"
#include "host/rtl/lists.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {

class TForm;

using TCloseQueryEvent = TEvent<TObject*, bool&>;

// A dialog shown by Execute. Before its form runs, Execute offers it to the test's
// responder (host/app/responders.h), which may answer it without the form.
class TCommonDialog : public TComponent {
    HOST_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner);
    ~TCommonDialog() override;

    // Shows the dialog modally; true when the person chose OK.
    virtual bool Execute() = 0;

    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    virtual void DoShow() { OnShow(this); }
    virtual void DoClose() { OnClose(this); }

private:
    bool FCtl3D = true;
    int FHelpContext = 0;
    HOST_PUBLISHED(prop("Ctl3D", &TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D).def(true),
                   prop("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext).def(0),
                   prop("OnClose", &TCommonDialog::OnClose, &TCommonDialog::OnClose),
                   prop("OnShow", &TCommonDialog::OnShow, &TCommonDialog::OnShow))
};

// ---------------------------------------------------------------------------
// File dialogs
// ---------------------------------------------------------------------------

HOST_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
          ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware,
          ofNoReadOnlyReturn, ofNoTestFileCreate, ofNetworkButton, ofNoLongNames, ofOldStyleDialog,
          ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing);
using TOpenOptions = TSet<TOpenOption>;

// Choosing files to open. The form shows the folder (a combo of it and its parents,
// and an Up button), its entries with folders first and files matching the chosen
// filter, a file-name edit, a file-type combo and OK/Cancel. A typed folder name
// opens that folder; a typed mask ("*.log") filters the list; a typed name without
// an extension gets DefaultExt.
//
// Responders see it as dkOpenDialog (dkSaveDialog for TSaveDialog) with Info.Values
// holding the file names (FileName first); a responder sets the names and returns
// mrOk. Names may be relative to the dialog's folder. The checks of Options
// (ofFileMustExist, ofPathMustExist, ofCreatePrompt, ofOverwritePrompt) and
// OnCanClose apply to the names either way; their questions are message dialogs.
class TOpenDialog : public TCommonDialog {
    HOST_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    bool Execute() override;

    // The extension (without the dot) added to a typed name that has none.
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& Value);
    // The chosen file (a full name after Execute).
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    // All chosen files (several with ofAllowMultiSelect).
    TStrings* Files() const { return FFiles.get(); }
    // "Description|mask;mask|Description|mask...".
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    // The chosen filter, 1-based.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // The folder shown first (the last folder used, else the current directory, when empty).
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    // The caption ("Open" / "Save As" when empty).
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // The filter's (description, masks) pairs.
    std::vector<std::pair<std::string, std::string>> FilterPairs() const;
    // Turns typed or answered names into the dialog's result: full names with
    // DefaultExt, checked against Options and OnCanClose (asking through message
    // dialogs). False, with nothing changed, when a check refuses them.
    bool AcceptNames(std::vector<std::string> Names, const std::string& Folder, int AFilterIndex);

    TCloseQueryEvent OnCanClose;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnTypeChange;

protected:
    virtual bool IsSaveDialog() const { return false; }
    std::string DefaultTitle() const { return IsSaveDialog() ? "Save As" : "Open"; }

private:
    std::string FDefaultExt, FFileName, FFilter, FInitialDir, FTitle;
    std::unique_ptr<TStrings> FFiles;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly};
    std::string FLastFolder;
    HOST_PUBLISHED(prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt).def(std::string()),
                   prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName).def(std::string()),
                   prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter).def(std::string()),
                   prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).def(1),
                   prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir).def(std::string()),
                   prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions).def(TOpenOptions{ofHideReadOnly}),
                   prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle).def(std::string()),
                   prop("OnCanClose", &TOpenDialog::OnCanClose, &TOpenDialog::OnCanClose),
                   prop("OnFolderChange", &TOpenDialog::OnFolderChange, &TOpenDialog::OnFolderChange),
                   prop("OnSelectionChange", &TOpenDialog::OnSelectionChange, &TOpenDialog::OnSelectionChange),
                   prop("OnTypeChange", &TOpenDialog::OnTypeChange, &TOpenDialog::OnTypeChange))
};

// Choosing a file name to save to; with ofOverwritePrompt an existing file is
// replaced only when the person says so.
class TSaveDialog : public TOpenDialog {
    HOST_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSaveDialog() const override { return true; }
};

// ---------------------------------------------------------------------------
// Colour dialog
// ---------------------------------------------------------------------------

HOST_ENUM(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor);
using TColorDialogOptions = TSet<TColorDialogOption>;

// The 48 basic colours of the colour dialog, row by row (8 to a row).
extern const TColor BasicColors[48];

// Choosing a colour from the 48 basic colours and the 16 custom ones. Responders
// see it as dkSystemDialog (class "TColorDialog") with Info.Values = {the colour}
// as ColorToString writes it ("clRed", "$00123456"); a responder sets a colour
// name or number and returns mrOk.
class TColorDialog : public TCommonDialog {
    HOST_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;

    bool Execute() override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // "ColorA=808022" ... "ColorP=..." (hex RGB as the framework keeps them); missing
    // entries are white.
    TStrings* CustomColors() const { return FCustomColors.get(); }
    void SetCustomColors(TStrings* Value);
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions Value) { FOptions = Value; }
    // The 16 custom colours CustomColors describes.
    std::vector<TColor> CustomColorValues() const;

private:
    TColor FColor = clBlack;
    std::unique_ptr<TStrings> FCustomColors;
    TColorDialogOptions FOptions;
    HOST_PUBLISHED(prop("Color", &TColorDialog::Color, &TColorDialog::SetColor).def(clBlack),
                   prop("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors),
                   prop("Options", &TColorDialog::Options, &TColorDialog::SetOptions).def(TColorDialogOptions{}))
};

// ---------------------------------------------------------------------------
// Font dialog
// ---------------------------------------------------------------------------

HOST_ENUM(TFontDialogOption, fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel,
          fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg,
          fdLimitSize, fdScalableOnly, fdApplyButton);
using TFontDialogOptions = TSet<TFontDialogOption>;

// Choosing a font: the host's font families, a style (Regular, Italic, Bold, Bold
// Italic), a size, underline and strikeout (fdEffects), and a sample. Responders see
// it as dkSystemDialog (class "TFontDialog") with Info.Values = {name, size, style
// set as "[fsBold,fsItalic]", colour}; a responder edits them and returns mrOk.
class TFontDialog : public TCommonDialog {
    HOST_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;

    bool Execute() override;

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TFontDialogOptions Options() const { return FOptions; }
    void SetOptions(TFontDialogOptions Value) { FOptions = Value; }
    // With fdLimitSize, the sizes offered and accepted (0: no limit).
    int MinFontSize() const { return FMinFontSize; }
    void SetMinFontSize(int Value) { FMinFontSize = Value; }
    int MaxFontSize() const { return FMaxFontSize; }
    void SetMaxFontSize(int Value) { FMaxFontSize = Value; }

private:
    std::unique_ptr<TFont> FFont;
    TFontDialogOptions FOptions{fdEffects};
    int FMinFontSize = 0, FMaxFontSize = 0;
    HOST_PUBLISHED(prop("Font", &TFontDialog::Font, &TFontDialog::SetFont),
                   prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize).def(0),
                   prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize).def(0),
                   prop("Options", &TFontDialog::Options, &TFontDialog::SetOptions).def(TFontDialogOptions{fdEffects}))
};

// Registers the dialog classes for form files (once).
void RegisterDialogClasses();

}  // namespace host
