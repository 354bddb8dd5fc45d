// Tour step "about": writes what the library is, its version and the tour's steps.
#include <fstream>
#include <stdexcept>

#include "frame/ryxinfo.h"
#include "tour.h"

namespace {

void WriteAbout(ryxdemo::TTourContext& ctx) {
    auto path = ctx.OutputFile("about.txt");
    std::ofstream out(path);
    out << ryx::PackageName() << ' ' << ryx::PackageVersion() << '\n'
        << ryx::PackageDescription() << "\n\ntour steps:\n";
    for (const auto& s : ryxdemo::Steps()) out << "  " << s.Name << ": " << s.Description << '\n';
    if (!out) throw std::runtime_error("cannot write " + path.string());
    ctx.Log("library identity and step list");
}

const ryxdemo::TTourStepRegistration reg(0, "about", "what the library is and which steps the tour has",
                                         &WriteAbout);

}  // namespace
