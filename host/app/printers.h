// The printer: a "PNG printer" that writes each printed page as a PNG file into the print folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/graphics/graphics.h"
#include "host/rtl/typinfo.h"

namespace host {

class TStrings;

HOST_ENUM(TPrinterOrientation, poPortrait, poLandscape);

// A print job draws on Canvas, one page at a time: BeginDoc starts page 1, NewPage
// finishes a page and starts the next, EndDoc finishes the last. Each finished page
// is written as "<Title>-<n>.png" into PrintFolder() (through a temporary file
// renamed into place, so a reader never sees half a page). Abort drops the page in
// progress and keeps the pages already written.
//
// Pages are A4 at Resolution dots per inch (300 by default: 2480 x 3508 pixels in
// portrait); a lower resolution gives smaller pages with the same proportions.
class TPrinter : public TObject {
    HOST_CLASS(TPrinter, TObject)
public:
    TPrinter();
    ~TPrinter() override;

    // The printers there are ("PNG printer") and the one in use (-1 selects the default).
    TStrings* Printers();
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int Value);
    // The job's name: the page files are named after it.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    int Resolution() const { return FResolution; }
    void SetResolution(int Dpi);

    // The page being drawn (a white bitmap of PageWidth x PageHeight).
    TCanvas* Canvas();
    int PageWidth() const;
    int PageHeight() const;
    int PageNumber() const { return FPageNumber; }
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }

    // Raise EPrinter "Printing in progress" / "Printer is not currently printing"
    // when called in the wrong state, and when a page cannot be written.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();

    // The files written by the current (or last) job, in page order.
    const std::vector<std::string>& PageFiles() const { return FPageFiles; }

    // $RYX_PRINT_DIR, else <XDG data directory>/ryx/print.
    static std::string PrintFolder();

private:
    std::unique_ptr<TStrings> FPrinters;
    std::unique_ptr<TBitmap> FPage;
    std::vector<std::string> FPageFiles;
    std::string FTitle;
    std::string FFolder;
    TPrinterOrientation FOrientation = poPortrait;
    int FPrinterIndex = -1;
    int FResolution = 300;
    int FPageNumber = 0;
    bool FPrinting = false;
    bool FAborted = false;

    void CheckPrinting(bool Value) const;
    void StartPage();
    void FinishPage();
};

// The application's printer (made on first use).
TPrinter* Printer();
// Replaces the application's printer; returns the old one (the caller owns it).
TPrinter* SetPrinter(TPrinter* NewPrinter);

}  // namespace host
