#include "database/flight_id.h"

#include <array>
#include <utility>

#include "base/files.h"
#include "base/strings.h"

namespace aerova {
namespace {

using Pair = std::pair<std::string_view, std::string_view>;

// ICAO designators of the airlines whose flights the ACARS table translates, with their
// IATA designators.
constexpr std::array<Pair, 45> kIcaoToIata{{
    {"GWI", "4U"}, {"SKY", "3L"}, {"ISR", "6H"}, {"RAM", "AT"}, {"BEE", "BE"}, {"BTI", "BT"},
    {"BEL", "SN"}, {"BER", "AB"}, {"AFR", "AF"}, {"ADH", "AP"}, {"AZA", "AZ"}, {"BAW", "BA"},
    {"RYR", "FR"}, {"KLM", "KL"}, {"SWR", "LX"}, {"CSA", "OK"}, {"HLX", "X3"}, {"RUS", "C9"},
    {"EIN", "EI"}, {"DLH", "LH"}, {"AUA", "OS"}, {"BMA", "BD"}, {"CNO", "SK"}, {"CLX", "CV"},
    {"EZS", "DS"}, {"TCX", "FQ"}, {"NLY", "HG"}, {"EXS", "LS"}, {"MAH", "MA"}, {"ESK", "NE"},
    {"CTN", "OU"}, {"AAR", "OZ"}, {"AUI", "PS"}, {"IBE", "IB"}, {"BWG", "QW"}, {"RNA", "RA"},
    {"TAP", "TP"}, {"EZY", "U2"}, {"KRP", "V3"}, {"VLE", "VE"}, {"VLM", "VG"}, {"WZZ", "W6"},
    {"BMI", "WW"}, {"AEA", "UX"}, {"RAE", "YS"},
}};

// Designators the flight-status service knows under another code.
constexpr std::array<Pair, 14> kQuerySubstitutions{{
    {"HLX", "X3"},
    {"FWI", "TX"},
    {"BEL", "SN"},
    {"GWI", "4U"},
    {"CNO", "SAS"},
    {"NLY", "HG"},
    {"JFU", "8J"},
    {"BWG", "QW"},
    {"RNV", "U8"},
    {"FIF", "OF"},
    {"KZR", "4L"},
    {"SCW", "TF"},
    {"CLI", "AIS"},
    {"VKG", "DK"},
}};

// Airlines whose call signs may end in a letter that their flight numbers do not carry.
constexpr std::array<std::string_view, 6> kDropFinalLetter{"WZZ", "FIN", "AAR",
                                                           "BAW", "AUA", "CFG"};

std::string_view Lookup(const auto& table, std::string_view key) {
    for (const auto& [from, to] : table)
        if (from == key) return to;
    return {};
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLetter(char c) {
    return IsUpperLetter(c) || (c >= 'a' && c <= 'z');
}

void RemoveFirst(std::string& s, std::string_view what) {
    const std::size_t at = s.find(what);
    if (at != std::string::npos) s.erase(at, what.size());
}

bool Fail(TFlightStats& stats, std::string_view message) {
    stats.message = std::string(message);
    return false;
}

}  // namespace

bool AcarsTable::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    SetText(std::move(text));
    return true;
}

void AcarsTable::SetText(std::string text) {
    text_ = std::move(text);
    loaded_ = true;
}

std::string AcarsTable::OperatedNumber(std::string_view iata, std::string_view number) const {
    const std::string needle = "\t\t" + std::string(iata) + PadLeft(number, 4, '0') + "\t";
    const std::size_t at = text_.find(needle);
    if (at == std::string::npos || at + 11 >= text_.size()) return {};
    std::string operated = text_.substr(at + 11, 4);
    // A number never runs into the next line.
    operated = operated.substr(0, operated.find_first_of("\r\n\t"));
    return operated;
}

std::string_view IataOf(std::string_view icao) {
    return Lookup(kIcaoToIata, icao);
}

bool NormaliseFlightId(std::string_view text, TFlightStats& stats, const AcarsTable* acars) {
    stats.message.clear();
    std::string id(text);
    for (std::string_view noise : {" !", "'", "\"", "x"}) RemoveFirst(id, noise);

    if (id.find('v') != std::string::npos) return Fail(stats, "Cannot identify vehicles");
    if (!id.empty() && id[0] == '&') return Fail(stats, "This is a registration, not a flight id");
    if (id.size() >= 2 && !IsDigit(id[0]) && IsDigit(id[1]))
        return Fail(stats, "Airline code missing");

    std::string airline = Trim(Copy(id, 1, 3));
    std::string number = Trim(Copy(id, 4, 5));

    if (acars != nullptr && acars->loaded()) {
        const std::string_view iata = IataOf(airline);
        if (!iata.empty()) {
            const std::string operated = acars->OperatedNumber(iata, number);
            if (!operated.empty()) number = Trim(operated);
        }
    }
    if (airline.size() == 3 && IsDigit(airline[2])) {
        number.insert(number.begin(), airline[2]);
        airline.resize(2);
    }
    if (const std::string_view substitute = Lookup(kQuerySubstitutions, airline);
        !substitute.empty())
        airline = std::string(substitute);
    for (std::string_view drop : kDropFinalLetter)
        if (airline == drop && !number.empty() && IsUpperLetter(number.back())) number.pop_back();
    if (!number.empty() && IsLetter(number.back())) return Fail(stats, "Invalid flight number");
    number.erase(0, number.find_first_not_of('0'));
    // Nothing left to ask the service for (a bare designator or "DLH000").
    if (number.empty() || airline.empty()) return Fail(stats, "Invalid flight number");

    stats.airline = airline;
    stats.flightnumber = number;
    return true;
}

}  // namespace aerova
