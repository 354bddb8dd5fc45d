// The printer: a "PNG printer" that writes each printed page as a PNG file into the print folder.
#include "host/app/printers.h"

#include <cstdlib>

#include "host/gdi/imagefile.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

// A4 in millimetres, and millimetres per inch times ten (to keep integers).
constexpr int kA4WidthMm10 = 2100, kA4HeightMm10 = 2970, kMm10PerInch = 254;

// A file name made from a job title: path delimiters and control characters become
// '_', so a title can never write outside the print folder.
std::string SafeTitle(const std::string& Title) {
    std::string s;
    for (char c : Title) {
        unsigned char u = static_cast<unsigned char>(c);
        s += (c == '/' || c == '\\' || u < 32 || u == 127) ? '_' : c;
    }
    if (s.empty() || s == "." || s == "..") s = "Untitled";
    return s;
}

std::unique_ptr<TPrinter>& GlobalPrinter() {
    static std::unique_ptr<TPrinter> printer;
    return printer;
}

}  // namespace

TPrinter::TPrinter() : FPrinters(std::make_unique<TStringList>()) { FPrinters->Add("PNG printer"); }

TPrinter::~TPrinter() = default;

TStrings* TPrinter::Printers() { return FPrinters.get(); }

void TPrinter::SetPrinterIndex(int Value) {
    CheckPrinting(false);
    if (Value < -1 || Value >= FPrinters->Count()) throw EPrinter("Printer selected is not valid");
    FPrinterIndex = Value;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
    CheckPrinting(false);
    FOrientation = Value;
    FPage.reset();
}

void TPrinter::SetResolution(int Dpi) {
    CheckPrinting(false);
    if (Dpi < 10 || Dpi > 1200) throw EPrinter("Printer resolution " + std::to_string(Dpi) + " dpi is not supported");
    FResolution = Dpi;
    FPage.reset();
}

int TPrinter::PageWidth() const {
    int mm = FOrientation == poPortrait ? kA4WidthMm10 : kA4HeightMm10;
    return static_cast<int>((static_cast<int64_t>(mm) * FResolution + kMm10PerInch / 2) / kMm10PerInch);
}

int TPrinter::PageHeight() const {
    int mm = FOrientation == poPortrait ? kA4HeightMm10 : kA4WidthMm10;
    return static_cast<int>((static_cast<int64_t>(mm) * FResolution + kMm10PerInch / 2) / kMm10PerInch);
}

TCanvas* TPrinter::Canvas() {
    if (!FPage) StartPage();
    return FPage->Canvas();
}

std::string TPrinter::PrintFolder() {
    if (const char* d = std::getenv("RYX_PRINT_DIR"); d != nullptr && *d != '\0')
        return ExcludeTrailingPathDelimiter(d);
    std::string data;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x != nullptr && *x == '/') {
        data = ExcludeTrailingPathDelimiter(x);
    } else {
        const char* home = std::getenv("HOME");
        data = std::string(home != nullptr && *home != '\0' ? home : "/tmp") + "/.local/share";
    }
    return data + "/ryx/print";
}

void TPrinter::CheckPrinting(bool Value) const {
    if (FPrinting == Value) return;
    if (Value) throw EPrinter("Printer is not currently printing");
    throw EPrinter("Printing in progress");
}

// A fresh white page of the current size.
void TPrinter::StartPage() {
    if (!FPage || FPage->Width() != PageWidth() || FPage->Height() != PageHeight())
        FPage = std::make_unique<TBitmap>(PageWidth(), PageHeight());
    TCanvas* c = FPage->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect{0, 0, FPage->Width(), FPage->Height()});
    c->Pen()->SetColor(clBlack);
    c->Font()->SetColor(clBlack);
}

void TPrinter::FinishPage() {
    std::string name = FFolder + "/" + SafeTitle(FTitle) + "-" + std::to_string(FPageNumber) + ".png";
    if (!SaveBitmapPng(FPage->Handle(), name)) {
        // The job cannot go on: end it, keeping the pages already written.
        FPrinting = false;
        FAborted = true;
        throw EPrinter("Cannot write the printed page " + name);
    }
    FPageFiles.push_back(name);
}

void TPrinter::BeginDoc() {
    CheckPrinting(false);
    std::string folder = PrintFolder();
    if (!DirectoryExists(folder) && !ForceDirectories(folder))
        throw EPrinter("Cannot create the print folder " + folder);
    FFolder = folder;
    FPageFiles.clear();
    FAborted = false;
    FPrinting = true;
    FPageNumber = 1;
    StartPage();
}

void TPrinter::NewPage() {
    CheckPrinting(true);
    FinishPage();
    ++FPageNumber;
    StartPage();
}

void TPrinter::EndDoc() {
    CheckPrinting(true);
    FinishPage();
    FPrinting = false;
    FAborted = false;
}

void TPrinter::Abort() {
    CheckPrinting(true);
    FPrinting = false;
    FAborted = true;
    StartPage();
}

TPrinter* Printer() {
    auto& p = GlobalPrinter();
    if (!p) p = std::make_unique<TPrinter>();
    return p.get();
}

TPrinter* SetPrinter(TPrinter* NewPrinter) {
    auto& p = GlobalPrinter();
    TPrinter* old = p.release();
    p.reset(NewPrinter);
    return old;
}

}  // namespace host
