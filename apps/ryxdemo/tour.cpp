// The demo's tour: the step registry and the runner that writes every step's files.
#include "tour.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "host/rtl/exceptions.h"
#include "mainform.h"

namespace ryxdemo {

namespace {
std::vector<TTourStep>& Registry() {
    static std::vector<TTourStep> steps;
    return steps;
}
}  // namespace

TTourContext::TTourContext(std::filesystem::path dir, bool verbose, bool headless)
    : FDir(std::move(dir)), FVerbose(verbose), FHeadless(headless) {}

std::string SampleDatabase(TTourContext& Ctx, bool* Made) {
    bool made = false;
    const std::string db = EnsureSampleDatabase((Ctx.Dir() / "data").string(), made);
    if (made) Ctx.OutputFile("data/sample.db");
    if (Made != nullptr) *Made = made;
    return db;
}

std::filesystem::path TTourContext::OutputFile(const std::string& name) {
    std::filesystem::path p = FDir / name;
    std::filesystem::create_directories(p.parent_path());
    FWritten.push_back(p);
    return p;
}

void TTourContext::Log(const std::string& line) const {
    if (FVerbose) std::printf("    %s\n", line.c_str());
}

void RegisterStep(TTourStep step) { Registry().push_back(std::move(step)); }

std::vector<TTourStep> Steps() {
    std::vector<TTourStep> steps = Registry();
    std::stable_sort(steps.begin(), steps.end(), [](const TTourStep& a, const TTourStep& b) {
        return a.Order != b.Order ? a.Order < b.Order : a.Name < b.Name;
    });
    return steps;
}

TTourResult RunTour(const std::filesystem::path& dir, bool verbose, bool headless) {
    TTourResult result;
    std::filesystem::create_directories(dir);
    TTourContext ctx(dir, verbose, headless);
    for (const TTourStep& step : Steps()) {
        std::printf("step %s: %s\n", step.Name.c_str(), step.Description.c_str());
        std::fflush(stdout);
        ctx.ClearWritten();
        ++result.StepsRun;
        try {
            step.Run(ctx);
        } catch (const host::Exception& e) {
            ++result.StepsFailed;
            std::fprintf(stderr, "step %s failed: %s: %s\n", step.Name.c_str(), e.ClassName(),
                         e.Message().c_str());
        } catch (const std::exception& e) {
            ++result.StepsFailed;
            std::fprintf(stderr, "step %s failed: %s\n", step.Name.c_str(), e.what());
        }
        for (const auto& f : ctx.Written()) {
            if (std::filesystem::exists(f)) {
                std::printf("  wrote %s\n", f.string().c_str());
                result.Files.push_back(f);
            }
        }
        std::fflush(stdout);
    }
    return result;
}

}  // namespace ryxdemo
