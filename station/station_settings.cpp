#include "station/station_settings.h"

namespace aerova {

bool ApplyTimeoutChoices(const TimeoutChoices& c, Timeouts& t) {
    auto inRange = [](int i, std::size_t n) { return i >= 0 && static_cast<std::size_t>(i) < n; };
    const int before = t.flightInactiveSec;
    if (inRange(c.cbflightinactive, kInactiveChoicesSec.size()))
        t.flightInactiveSec = kInactiveChoicesSec[static_cast<std::size_t>(c.cbflightinactive)];
    if (inRange(c.cbflightdelete, kDeleteChoicesMin.size()))
        t.flightDeleteMin = kDeleteChoicesMin[static_cast<std::size_t>(c.cbflightdelete)];
    if (inRange(c.cbpeerinactive, kInactiveChoicesSec.size()))
        t.peerInactiveSec = kInactiveChoicesSec[static_cast<std::size_t>(c.cbpeerinactive)];
    if (inRange(c.cbpeerdelete, kDeleteChoicesMin.size()))
        t.peerDeleteMin = kDeleteChoicesMin[static_cast<std::size_t>(c.cbpeerdelete)];
    return t.flightInactiveSec > before;
}

}  // namespace aerova
