// The demo application: opens its main form in a real window when a display exists, else runs the tour of its features.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

#include "frame/ryxinfo.h"
#include "frame/ryxpackage.h"
#include "host/app/app.h"
#include "host/app/responders.h"
#include "host/controls/dbctrls.h"
#include "host/controls/dbgrids.h"
#include "host/windows/menu.h"
#include "host/os/sound.h"
#include "host/windows/backend_choice.h"
#include "mainform.h"
#include "tour.h"

namespace {

struct TOptions {
    bool Help = false;
    bool Verbose = false;
    bool Headless = false;
    bool List = false;
    std::string ScreenshotDir;
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: ryxdemo [--help] [--verbose] [--headless] [--screenshot DIR] [--list]\n"
                 "  --help            show this text\n"
                 "  --verbose         say which window backend runs and why, and more about each tour step\n"
                 "  --headless        never open a window, even when a display exists\n"
                 "  --screenshot DIR  run every tour step and write its files into DIR\n"
                 "  --list            list the tour steps and exit\n");
}

// Returns false (after printing why) when the command line is not understood.
bool ParseOptions(int argc, char** argv, TOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--verbose" || a == "-v") {
            o.Verbose = true;
        } else if (a == "--headless") {
            o.Headless = true;
        } else if (a == "--list") {
            o.List = true;
        } else if (a == "--screenshot") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "ryxdemo: --screenshot needs a directory\n");
                return false;
            }
            o.ScreenshotDir = argv[++i];
        } else if (a.rfind("--screenshot=", 0) == 0) {
            o.ScreenshotDir = a.substr(std::strlen("--screenshot="));
        } else {
            std::fprintf(stderr, "ryxdemo: unknown argument '%s'\n", a.c_str());
            return false;
        }
    }
    if (o.List || !o.ScreenshotDir.empty()) o.Headless = true;
    return true;
}

void PrintSteps() {
    auto steps = ryxdemo::Steps();
    std::printf("tour steps (%zu):\n", steps.size());
    for (const auto& s : steps) std::printf("  %-20s %s\n", s.Name.c_str(), s.Description.c_str());
}

// Runs the tour into a fresh temporary folder and removes it afterwards: the
// steps still run end to end when nobody asked for their files.
ryxdemo::TTourResult RunTourInTemp(bool verbose) {
    std::string pattern = (std::filesystem::temp_directory_path() / "ryxdemo-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    std::filesystem::path dir = pattern;
    std::printf("running the tour in %s (removed afterwards; --screenshot DIR keeps the files)\n",
                dir.string().c_str());
    ryxdemo::TTourResult r;
    try {
        r = ryxdemo::RunTour(dir, verbose, true);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
        throw;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return r;
}

// The main form in real windows until the person closes it. The sample database is
// made in the data folder on first start.
int RunWindows(const TOptions& o) {
    bool made = false;
    const std::string dir = ryxdemo::DemoDataDir();
    const std::string db = ryxdemo::EnsureSampleDatabase(dir, made);
    std::printf("%s the sample database %s\n", made ? "made" : "using", db.c_str());
    std::fflush(stdout);
    host::SetInteractiveDialogs(true);
    std::string sound;
    if (!host::sound::UseSdlAudio(sound)) sound += "; sounds are recorded, not heard";
    if (o.Verbose) std::printf("sound: %s\n", sound.c_str());
    host::Application->SetTitle("Ryx demo");
    ryxdemo::TMainForm* form = nullptr;
    host::Application->CreateForm(form);
    form->OpenDatabase(db);
    form->Show();
    if (o.Verbose) {
        // Where things are on the screen, for scripts that drive the demo from outside.
        auto at = [](host::TControl* c, const char* what) {
            host::TPoint p = c->ClientToScreen(host::TPoint{0, 0});
            std::printf("layout: %s %d %d %d %d\n", what, p.x, p.y, c->Width(), c->Height());
        };
        at(form->Grid(), "grid");
        at(form->EditOf("Company"), "company");
        std::printf("layout: rowheight %d\n", form->Grid()->DefaultRowHeight());
        host::RECT edit{};
        if (host::GetMenuItemRect(form->Handle(), host::GetMenu(form->Handle()), 1, &edit))
            std::printf("layout: editmenu %d %d %d %d\n", int(edit.left), int(edit.top), int(edit.right - edit.left),
                        int(edit.bottom - edit.top));
        // Another program taking the focus deactivates the application, and back.
        host::Application->OnDeactivate = [](host::TObject*) {
            std::printf("application deactivated\n");
            std::fflush(stdout);
        };
        host::Application->OnActivate = [](host::TObject*) {
            std::printf("application activated\n");
            std::fflush(stdout);
        };
        std::printf("main form open; close it (or File > Exit) to end\n");
    }
    std::fflush(stdout);
    host::Application->Run();
    host::windows::ReleaseBackend();
    return 0;
}

int Run(const TOptions& o) {
    // The package is loaded for the whole run, as an application loads it.
    ryx::TryxPackageLoader package;
    std::printf("%s %s - %s\n", ryx::PackageName().c_str(), ryx::PackageVersion().c_str(),
                ryx::PackageDescription().c_str());
    if (o.List) {
        PrintSteps();
        return 0;
    }
    host::windows::TBackendChoice backend = host::windows::ChooseBackend(!o.Headless);
    if (o.Verbose) std::printf("backend: %s (%s)\n", backend.Name.c_str(), backend.Reason.c_str());
    if (backend.Name == "sdl") return RunWindows(o);
    PrintSteps();

    ryxdemo::TTourResult r;
    if (!o.ScreenshotDir.empty()) {
        std::filesystem::path dir = std::filesystem::absolute(o.ScreenshotDir);
        std::printf("running the tour into %s\n", dir.string().c_str());
        r = ryxdemo::RunTour(dir, o.Verbose, true);
    } else {
        std::printf("running the tour headless (%s)\n", backend.Reason.c_str());
        r = RunTourInTemp(o.Verbose);
    }
    std::printf("tour: %d step(s) run, %d failed, %zu file(s) written\n", r.StepsRun, r.StepsFailed,
                r.Files.size());
    return r.StepsFailed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    TOptions o;
    if (!ParseOptions(argc, argv, o)) {
        PrintUsage(stderr);
        return 2;
    }
    if (o.Help) {
        PrintUsage(stdout);
        return 0;
    }
    try {
        return Run(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ryxdemo: %s\n", e.what());
        return 1;
    }
}
