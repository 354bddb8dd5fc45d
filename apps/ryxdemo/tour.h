// The demo's tour: a registry of steps, each showing one feature and writing its files.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ryxdemo {

// What a step gets while it runs: where to write and what it has written.
class TTourContext {
public:
    TTourContext(std::filesystem::path dir, bool verbose, bool headless);

    const std::filesystem::path& Dir() const { return FDir; }
    bool Verbose() const { return FVerbose; }
    bool Headless() const { return FHeadless; }

    // The path of a file the step is about to write in the output folder; the file
    // is listed among the step's outputs. Name may hold subfolders ("forms/a.dfm"),
    // which are created.
    std::filesystem::path OutputFile(const std::string& name);
    // Prints a line when the tour runs with --verbose.
    void Log(const std::string& line) const;

    const std::vector<std::filesystem::path>& Written() const { return FWritten; }
    void ClearWritten() { FWritten.clear(); }

private:
    std::filesystem::path FDir;
    bool FVerbose;
    bool FHeadless;
    std::vector<std::filesystem::path> FWritten;
};

// The tour's sample database, data/sample.db in the output folder: made on first use
// (and then listed among the calling step's files). Made is set when it was made now.
std::string SampleDatabase(TTourContext& Ctx, bool* Made = nullptr);

using TTourStepFn = std::function<void(TTourContext&)>;

struct TTourStep {
    int Order;                // position in the tour; equal orders go by name
    std::string Name;         // short identifier, e.g. "forms"
    std::string Description;  // one line for --list
    TTourStepFn Run;
};

// Adds a step to the tour. Steps register themselves from their own file
// (apps/ryxdemo/step_<name>.cpp) through a static TTourStepRegistration.
void RegisterStep(TTourStep step);
// Every registered step, in tour order.
std::vector<TTourStep> Steps();

struct TTourStepRegistration {
    TTourStepRegistration(int order, std::string name, std::string description, TTourStepFn run) {
        RegisterStep({order, std::move(name), std::move(description), std::move(run)});
    }
};

// The result of running the tour.
struct TTourResult {
    int StepsRun = 0;
    int StepsFailed = 0;
    std::vector<std::filesystem::path> Files;
};

// Runs every step in order into dir (created when missing), printing each file a
// step writes. A step that raises is reported with its name and the tour goes on.
TTourResult RunTour(const std::filesystem::path& dir, bool verbose, bool headless);

}  // namespace ryxdemo
