#pragma once
// Call signs turned into what a flight-status service understands: an airline designator
// and a flight number ("DLH0123" -> LH 123, "EZY12AB" -> U2 12AB), with the ACARS
// translation table for airlines whose operated number differs from the one they show.

#include <string>
#include <string_view>

#include "base/text.h"

namespace aerova {

// The result of a flight-status lookup, and the designator and number it was made with.
struct TFlightStats {
    std::string title;
    std::string date;
    std::string duration;
    std::string status;
    std::string equipment;
    Text<3> origin;
    std::string deptime;      // scheduled departure
    std::string deptimemark;  // the best known departure time + " S", " A" or " E"
    Text<3> destination;
    std::string arrtime;  // scheduled arrival
    std::string arrtimemark;
    std::string ontime;
    std::string delay;
    std::string origincity;
    std::string destinationcity;
    Text<3> airline;
    std::string flightnumber;
    std::string message;
    std::string datetext;
    std::string route;
};

// The text file "aerova-routes/alphaid.txt": tab-separated lines holding an IATA designator
// and a four-digit flight number and, 11 characters from the match, the operated number.
class AcarsTable {
  public:
    // Loads the file when present; a missing file leaves the table unloaded.
    bool Load(const std::string& path);
    void SetText(std::string text);
    bool loaded() const { return loaded_; }
    // The operated number of `iata` + `number` (padded to four digits), or empty.
    std::string OperatedNumber(std::string_view iata, std::string_view number) const;

  private:
    std::string text_;
    bool loaded_ = false;
};

// The IATA designator of an ICAO airline designator in the built-in list, or empty.
std::string_view IataOf(std::string_view icao);

// Splits a call sign into `stats.airline` and `stats.flightnumber` for a query. False with
// `stats.message` set when it cannot be a flight ("Cannot identify vehicles", "This is a
// registration, not a flight id", "Airline code missing", "Invalid flight number").
bool NormaliseFlightId(std::string_view text, TFlightStats& stats,
                       const AcarsTable* acars = nullptr);

}  // namespace aerova
