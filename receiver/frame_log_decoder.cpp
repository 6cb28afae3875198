#include "receiver/frame_log_decoder.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "base/day_time.h"
#include "base/strings.h"
#include "receiver/mode_s_frame_decoder.h"
#include "receiver/receiver_engine.h"

namespace aerova {

namespace {

// Passes frames on to the decoder table and notes the address of the last one.
class NotingSink final : public FrameSink {
  public:
    explicit NotingSink(DecoderTable& table) : table_(table) {}
    void DispatchFrame(const TSBSMsg& frame, DayTime utcNow) override {
        address = FrameAddress(frame);
        table_.DispatchFrame(frame, utcNow);
    }
    std::int32_t address = -1;

  private:
    DecoderTable& table_;
};

void AppendText(std::string& json, const char* key, std::string_view value) {
    json += ",\"";
    json += key;
    json += "\":\"";
    for (char c : value) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
            json += buf;
        } else {
            json += c;
        }
    }
    json += '"';
}

void AppendNumber(std::string& json, const char* key, long value) {
    json += ",\"";
    json += key;
    json += "\":";
    json += std::to_string(value);
}

std::string_view TrimLine(std::string_view s) {
    while (!s.empty() &&
           (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// A frame text: a start character, hexadecimal digits and ";".
bool LooksLikeFrame(std::string_view s) {
    if (s.size() < 3 || s.size() > 40 ||
        (s.front() != '*' && s.front() != ':' && s.front() != '@') || s.back() != ';')
        return false;
    for (char c : s.substr(1, s.size() - 2))
        if (!IsHexDigit(c)) return false;
    return true;
}

}  // namespace

std::string RecordJson(std::uint64_t index, const TSBSFlight& r) {
    std::string json = "{\"idx\":" + std::to_string(index);
    AppendText(json, "icao", r.icao.view());
    AppendText(json, "callsign", r.callsign.view());
    AppendText(json, "altitude", r.altitude.view());
    AppendText(json, "squawk", r.squawk.view());
    AppendText(json, "lat", r.lat.view());
    AppendText(json, "lon", r.lon.view());
    AppendText(json, "gspeed", r.gspeed.view());
    AppendText(json, "track", r.track.view());
    AppendText(json, "vrate", r.vrate.view());
    AppendText(json, "tas", r.tas.view());
    AppendText(json, "ias", r.ias.view());
    AppendText(json, "mach", r.mach.view());
    AppendText(json, "heading", r.heading.view());
    AppendText(json, "selalt", r.selalt.view());
    AppendText(json, "baro", r.baro.view());
    AppendText(json, "roll", r.roll.view());
    AppendText(json, "trackrate", r.trackrate.view());
    AppendNumber(json, "cprstate", r.cprstate);
    AppendText(json, "onground", std::string_view(&r.onground, 1));
    AppendNumber(json, "blockident", r.blockident);
    AppendNumber(json, "block40", r.block40);
    AppendNumber(json, "block50", r.block50);
    AppendNumber(json, "block60", r.block60);
    AppendNumber(json, "blockalt", r.blockalt);
    json += '}';
    return json;
}

FrameLogSummary DecodeFrameLog(std::istream& in, std::ostream& out,
                               const FrameLogOptions& options) {
    FrameLogSummary summary;
    DayTime now = 0;
    ModeSFrameDecoder decoder;
    decoder.SetGlobalCpr(options.globalCpr);
    ReceiverEngine engine(decoder, [&now] { return now; });
    engine.input().options.tcas = options.tcas;
    engine.StartReceiverEngine(options.homelat, options.homelon);
    NotingSink sink(engine.table());

    std::string line;
    for (std::uint64_t index = 0; std::getline(in, line); ++index) {
        ++summary.lines;
        std::string_view s = TrimLine(line);
        // The frame text is the last field; a numeric first field is the time.
        std::string_view frame = s.substr(
            s.find_last_of(" \t") == std::string_view::npos ? 0 : s.find_last_of(" \t") + 1);
        if (!LooksLikeFrame(frame)) {
            ++summary.malformed;
            continue;
        }
        if (frame.size() < s.size()) {
            std::string_view first = s.substr(0, s.find_first_of(" \t"));
            double seconds = 0;
            auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), seconds);
            if (ec == std::errc() && end == first.data() + first.size())
                now = FromUnixSeconds(seconds);
        }
        if (frame.front() == '@')
            engine.input().ComDataPacket3Packet(FrameSender::Network, frame);
        else
            engine.input().ComDataPacket1Packet(FrameSender::Network, frame);
        if (engine.input().queue().empty()) {
            ++summary.rejected;
            continue;
        }
        sink.address = -1;
        engine.parser().ParseReceiverQueue(engine.input().queue(), sink, now, nullptr);
        int target = sink.address < 0
                         ? -1
                         : engine.table().FindTarget(static_cast<std::uint32_t>(sink.address));
        if (target < 0) {
            ++summary.unknown;
            continue;
        }
        ++summary.decoded;
        out << RecordJson(index, engine.table().flight(static_cast<std::size_t>(target))) << '\n';
    }
    return summary;
}

}  // namespace aerova
