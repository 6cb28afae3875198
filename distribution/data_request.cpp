#include "distribution/data_request.h"

#include <cmath>

#include "base/numbers.h"
#include "base/strings.h"

namespace aerova {

DataRequest::DataRequest(std::string path,
                         const std::vector<std::pair<std::string, std::string>>& query)
    : path_(std::move(path)) {
    for (const auto& [key, value] : query) {
        const std::string name = LowerCase(key);
        bool known = false;
        for (const auto& kv : values_) known = known || kv.first == name;
        if (!known) values_.emplace_back(name, LowerCase(value));
    }
}

std::optional<std::string> DataRequest::Value(std::string_view key) const {
    const std::string name = LowerCase(key);
    for (const auto& kv : values_) {
        if (kv.first == name) return kv.second;
    }
    return std::nullopt;
}

bool DataRequest::Is(std::string_view key, std::string_view value) const {
    const auto v = Value(key);
    return v && *v == value;
}

GpsIdentity ParseGpsId(std::string_view gpsid) {
    GpsIdentity id;
    const std::size_t first = gpsid.find('_');
    if (first == std::string_view::npos) {
        if (!gpsid.empty()) id.unitid = UpperCase(gpsid);
        return id;
    }
    const std::string_view source = gpsid.substr(0, first);
    std::string_view rest = gpsid.substr(first + 1);
    const std::size_t second = rest.find('_');
    const std::string_view unit = rest.substr(0, second);
    const std::string_view unitid =
        second == std::string_view::npos ? std::string_view() : rest.substr(second + 1);
    if (!source.empty()) id.source = UpperCase(source);
    if (!unit.empty()) id.unit = UpperCase(unit);
    if (!unitid.empty()) id.unitid = UpperCase(unitid);
    return id;
}

namespace {

bool FieldSafe(std::string_view s) {
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || c == ':' || c == '&') return false;
    }
    return true;
}

std::optional<double> FiniteReal(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const auto v = TryParseReal(*text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

bool& ServerMark(Tflight& f, int server) {
    return server == 2 ? f.freshhttp2 : f.freshhttp1;
}

}  // namespace

std::optional<std::string> MobilePositionDatagram(const DataRequest& request) {
    const auto gpslat = request.Value("gpslat");
    const auto gpslong = request.Value("gpslong");
    if (!gpslat || !gpslong || !IsPlausiblePosition(*gpslat, *gpslong)) return std::nullopt;
    const GpsIdentity id = ParseGpsId(request.Value("gpsid").value_or(""));
    const std::string fields[] = {id.source,
                                  id.unit,
                                  id.unitid,
                                  *gpslat,
                                  *gpslong,
                                  request.Value("gpsalt").value_or(""),
                                  request.Value("gpstt").value_or(""),
                                  request.Value("gpsgs").value_or("")};
    for (const std::string& f : fields) {
        if (!FieldSafe(f)) return std::nullopt;
    }
    std::string d = "\xFA\xCF";
    d += id.source + ":" + id.unit + ":GPS:" + id.unitid + ":" + *gpslat + ":" + *gpslong + ":" +
         fields[5] + ":" + fields[6] + ":" + fields[7] + ":0:::9990&";
    if (d.size() > kMaxDatagram) return std::nullopt;
    return d;
}

std::optional<Area> AreaOf(const DataRequest& request) {
    const auto lat = FiniteReal(request.Value("lat"));
    const auto lon = FiniteReal(request.Value("lon"));
    const auto alt = FiniteReal(request.Value("alt"));
    if (!lat || !lon || !alt) return std::nullopt;
    const double r = *alt * 1.3 / 1.852 / 60.0;
    Area a;
    a.south = *lat - r;
    a.north = *lat + r;
    a.west = *lon - 1.3 * r;
    a.east = *lon + 1.3 * r;
    return a;
}

std::string BuildFlightList(FlightTable& table, const DataRequest& request,
                            const DataServerOptions& options) {
    const bool withnopos = request.Is("nopos", "1");
    const auto serial = request.Value("serial");
    const auto area = AreaOf(request);
    std::string out;
    out.reserve(16 * 1024);
    for (Tflight& f : table.flights) {
        if (f.state != 1 || !f.live()) continue;
        bool& mark = ServerMark(f, options.server);
        if (options.updatesonly && !mark) continue;
        if (f.nopos && !withnopos) continue;
        // The request's values arrive lower-cased; a box is compared without case.
        if (serial && !SameText(f.box.view(), *serial)) continue;
        if (area && !f.nopos && !area->Contains(f.latf, f.lonf)) continue;
        // ':' separates the fields and a line ends each target: neither may come from a field.
        const std::string flightid = Trim(f.flightid.view()), vratecode = Trim(f.vratecode.view());
        const std::string_view fields[] = {
            flightid,        f.reg.view(),      f.icaotype.view(), f.modes.view(), f.lat.view(),
            f.lon.view(),    f.altlabel.view(), f.track3.view(),   f.gs4.view(),   vratecode,
            f.squawk.view(), f.route.view(),    f.box.view()};
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (i > 0) out += ':';
            AppendField(out, fields[i], ':');
        }
        out += '\n';
        mark = false;
    }
    return out;
}

std::string AnswerDataRequest(FlightTable& table, const DataRequest& request,
                              const DataServerOptions& options) {
    if (request.path() != "/req=" + options.serverpwd || request.Is("nosend", "1")) return "nosend";
    std::string list = BuildFlightList(table, request, options);
    return list.empty() ? "nosend" : list;
}

}  // namespace aerova
