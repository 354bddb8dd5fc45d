// What tests see of the painter: live objects per kind and a trace of calls.
#pragma once

#include <string>
#include <vector>

namespace host::gditest {

// Live (not deleted) objects of each kind, stock objects not counted.
int LiveDCs();
int LiveBitmaps();
int LivePens();
int LiveBrushes();
int LiveFonts();
int LiveRegions();
int LivePalettes();
int LiveIcons();
int LiveObjects();  // all kinds

// The call trace: off by default; each painter call appends "Name(args)".
void SetTrace(bool On);
const std::vector<std::string>& TraceLog();
void ClearTrace();

// Fault injection: the Nth call from now of the named painter call (by its name in
// the trace, "BitBlt") fails as it would for a bad handle; Nth 0 disarms it.
void FailCall(const std::string& Call, int Nth = 1);
void ClearFaults();

// The system colours, metrics and work area back to their defaults.
void ResetSystemTables();

}  // namespace host::gditest
