// Tour step "package": the package's unit table with each unit's start state, a memory block loaded from the package's resources and written as a form file and a temporary file, and the date and time records.
#include <fstream>
#include <stdexcept>

#include "frame/ryxmem.h"
#include "frame/ryxpackage.h"
#include "frame/ryxutil.h"
#include "host/rtl/clock.h"
#include "host/rtl/component.h"
#include "host/rtl/formtext.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "tour.h"

namespace {

// A component that publishes a media description, as the package's players do.
class TMediaHolder : public host::TComponent {
    HOST_CLASS(TMediaHolder, host::TComponent)
public:
    explicit TMediaHolder(host::TComponent* AOwner) : host::TComponent(AOwner) {}
    ryx::TryxResourceData* Media() const { return const_cast<ryx::TryxResourceData*>(&FMedia); }
    void SetMedia(ryx::TryxResourceData* Value) { FMedia.Assign(Value); }
    HOST_PUBLISHED(prop("Media", &TMediaHolder::Media, &TMediaHolder::SetMedia))
private:
    ryx::TryxResourceData FMedia;
};

void WritePackage(ryxdemo::TTourContext& ctx) {
    auto path = ctx.OutputFile("package.txt");
    std::ofstream out(path);
    out << "module " << std::hex << ryx::ryxModuleHandle() << std::dec << ", language file: "
        << (ryx::ryxLanguageFile().empty() ? "(none)" : ryx::ryxLanguageFile()) << "\n\nunit table ("
        << ryx::ryxUnitCount << " units):\n";
    int started = 0;
    for (int k = 0; k < ryx::ryxUnitCount; ++k) {
        ryx::TryxUnitInfo u = ryx::ryxUnitInfo(k);
        int counter = ryx::ryxUnitStartCounter(k);
        started += counter < 0;
        out << "  " << (k + 1) << '\t' << u.Name << (u.PackageUnit ? "" : "  (framework)")
            << (counter < 0 ? "  started" : "  stopped") << '\n';
    }

    // A media block from the package's own RCDATA, streamed as a form file would hold it.
    TMediaHolder holder(nullptr);
    holder.SetName("Player");
    holder.Media()->Data()->LoadFromResource("", "RYXTESTBLOB");
    host::TMemoryStream bin;
    bin.WriteComponent(&holder);
    bin.SetPosition(0);
    host::TStringStream text;
    host::ObjectBinaryToText(&bin, &text);
    out << "\na media block of " << holder.Media()->Data()->GetSize()
        << " bytes from the package's resources, as a form file:\n" << text.DataString();
    std::string temp = holder.Media()->CopyDataToTempFile();
    std::ifstream copy(temp, std::ios::binary | std::ios::ate);
    out << "\nplayed from the temporary file " << temp << " (" << copy.tellg() << " bytes)\n";
    holder.Media()->DeleteTempFile();

    // The persistent date and time records a scheduled launch is described with.
    ryx::TryxDateNum date;
    ryx::TryxTimeNum time;
    date.SetDate(host::Clock::Now());
    time.SetTime(host::Clock::Now());
    out << "\nnow as date and time records: " << date.Year() << '-' << date.Month() << '-' << date.Day() << ' '
        << time.Hour() << ':' << time.Min() << ':' << time.Sec() << '.' << time.MSec() << '\n';
    if (!out) throw std::runtime_error("cannot write " + path.string());
    ctx.Log(std::to_string(started) + " of " + std::to_string(ryx::ryxUnitCount) + " units started; media block streamed");
}

const ryxdemo::TTourStepRegistration reg(5, "package", "the unit table and a resource-backed media block",
                                         &WritePackage);

}  // namespace
