#include "distribution/feed_lines.h"

#include "base/strings.h"

namespace aerova {

std::string FeedDateTime(DayTime utc) {
    // Whole seconds only: the format has no fraction, so 07:08:09.999 reads 07:08:09.
    return FormatDateTime("yyyy/mm/dd,hh:nn:ss", utc);
}

namespace {

bool Qualifies(const Tflight& f) {
    return f.live() && f.state == 1 && !f.nopos &&
           (f.fresh || f.announceair || f.announceid || f.announcesel);
}

void AppendAnnouncement(std::string& out, std::string_view kind, const FeedContext& context,
                        std::string_view aircraftid, const Tflight& f, std::string_view flightno,
                        std::string_view datetime, bool withcallsign) {
    out += kind;
    out += ",,";
    out += context.session;
    out += ',';
    out += aircraftid;
    out += ',';
    AppendField(out, f.modes.view(), ',');
    out += ',';
    out += flightno;
    out += ',';
    out += datetime;
    out += ',';
    out += datetime;
    if (withcallsign) {
        out += ',';
        AppendField(out, f.flightid.view(), ',');
    }
    out += "\r\n";
}

void AppendStatusChar(std::string& out, const Tflight& f, std::size_t position) {
    if (f.status.size() >= position) AppendField(out, f.status.view().substr(position - 1, 1), ',');
}

void AppendMessage(std::string& out, const FeedContext& context, std::string_view aircraftid,
                   const Tflight& f, std::string_view flightno, std::string_view datetime) {
    out += "MSG,3,";
    out += aircraftid;
    out += ',';
    out += context.session;
    out += ',';
    AppendField(out, f.modes.view(), ',');
    out += ',';
    out += flightno;
    out += ',';
    out += datetime;
    out += ',';
    out += datetime;
    out += ',';
    AppendField(out, f.flightid.view(), ',');
    out += ',';
    AppendField(out, f.box.view(), ',');
    out += ',';
    AppendField(out, f.gs.view(), ',');
    out += ',';
    AppendField(out, f.track.view(), ',');
    out += ',';
    AppendField(out, f.lat.view(), ',');
    out += ',';
    AppendField(out, f.lon.view(), ',');
    out += ',';
    AppendField(out, f.vrate.view(), ',');
    out += ',';
    AppendField(out, f.squawk.view(), ',');
    out += ',';
    AppendStatusChar(out, f, 5);  // SPI
    out += ',';
    AppendStatusChar(out, f, 6);  // emergency
    out += ',';
    AppendStatusChar(out, f, 7);  // alert
    out += ',';
    AppendField(out, f.ground.view(), ',');
    out += "\r\n";
}

}  // namespace

FeedResult SendFeed(FlightTable& table, const FeedContext& context, const FeedWriter& write) {
    FeedResult result;
    const std::string datetime = FeedDateTime(context.utcnow);
    std::string batch;
    batch.reserve(kFeedTargetsPerWrite * 200);
    int counted = 0;

    for (int slot = 0; slot < kMaxFlights; ++slot) {
        Tflight& f = table.flights[static_cast<std::size_t>(slot)];
        if (!Qualifies(f)) continue;
        const std::string flightno = std::to_string(slot);
        const std::string aircraftid = context.databaseopen ? std::to_string(f.dbid) : flightno;

        // Marks are cleared as their line is appended: a line lost with a failed write is
        // not repeated to the next client.
        if (f.announceair) {
            AppendAnnouncement(batch, "AIR", context, aircraftid, f, flightno, datetime, false);
            f.announceair = false;
        }
        if (f.announceid) {
            AppendAnnouncement(batch, "ID", context, aircraftid, f, flightno, datetime, true);
            f.announceid = false;
        }
        if (f.announcesel) {
            AppendAnnouncement(batch, "SEL", context, aircraftid, f, flightno, datetime, true);
            f.announcesel = false;
        }
        AppendMessage(batch, context, aircraftid, f, flightno, datetime);
        f.fresh = false;
        ++result.targets;

        if (++counted == kFeedTargetsPerWrite) {
            ++result.writes;
            if (!write(batch)) {
                result.failed = true;
                return result;
            }
            batch.clear();
            counted = 0;
        }
    }
    if (counted > 0) {
        ++result.writes;
        if (!write(batch)) result.failed = true;
    }
    return result;
}

}  // namespace aerova
