#include "station/list_files.h"

#include "base/files.h"
#include "base/strings.h"

namespace aerova {

namespace {

// A text without quotes and line ends, which would end its field or the line.
std::string Unquoted(std::string_view s) {
    std::string r;
    AppendField(r, s, '"');
    return r;
}

std::string Quoted(std::string_view s) {
    return Concat({"\"", Unquoted(s), "\""});
}

std::string Join(std::initializer_list<std::string> fields) {
    std::string line;
    for (const auto& f : fields) {
        if (!line.empty()) line += ',';
        line += Quoted(f);
    }
    return line;
}

std::string VerticalRate(const Tflight& f) {
    const std::string v = Trim(f.vrate.view());
    return v.empty() ? "0" : v + "00";
}

std::string WithoutAmpersand(std::string_view reg) {
    return std::string(!reg.empty() && reg[0] == '&' ? reg.substr(1) : reg);
}

}  // namespace

std::string PositionLine(const Tflight& f, DayTime utc) {
    const std::string vrate = VerticalRate(f);
    return Join({FormatDateTime("yyyy/mm/dd", utc), FormatDateTime("hh:nn:ss.zzz", utc),
                 f.modesdec.str(), f.modes.str(), PadRight(Unquoted(Trim(f.flightid.view())), 8),
                 WithoutAmpersand(f.reg.view()), f.ground.str(), f.box.str(), f.box.str(),
                 Copy(f.lat.view(), 1, 10), Copy(f.lon.view(), 1, 11), vrate, vrate,
                 f.gs.str() + ".0", f.track.str() + ".0", "0", PadRight(f.squawk.view(), 4)});
}

std::string NoPositionLine(const Tflight& f, DayTime utc) {
    return Join({FormatDateTime("yyyy/mm/dd", utc), FormatDateTime("hh:nn:ss.zzz", utc),
                 f.modes.str(), Trim(f.flightid.view()), f.ground.str(), f.box.str(),
                 Copy(f.lat.view(), 1, 10), Copy(f.lon.view(), 1, 11), Trim(f.vrate.view()),
                 f.gs.str(), f.track.str(), PadRight(f.squawk.view(), 4)});
}

std::string CompanionPath(const std::string& listPath) {
    return JoinPath(JoinPath(ExtractFileDir(listPath), "nopos"), "np-" + ExtractFileName(listPath));
}

}  // namespace aerova
