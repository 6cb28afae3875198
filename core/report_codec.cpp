#include "core/report_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/numbers.h"
#include "base/strings.h"
#include "core/target_labels.h"

namespace aerova {
namespace {

int NibbleOf(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    switch (c) {
        case ':':
            return 10;
        case '-':
            return 12;
        case '.':
            return 13;
        default:
            return 11;  // the blank, and anything a sender should not have passed
    }
}

constexpr char kNibbleChars[14] = {'0', '1', '2', '3', '4', '5', '6',
                                   '7', '8', '9', ':', ' ', '-', '.'};

bool IsMarker(unsigned char b) {
    return b == kBlockIdent || b == kBlockSelAlt || b == kBlockRoll || b == kBlockHeading ||
           b == kBlockLabelAlt || b == kReportEnd;
}

// "+" travels as "." in the signed fields of block 0xF0.
void PlusBack(std::string& s) {
    if (!s.empty() && s[0] == '.') s[0] = '+';
}

std::string PlusAsDot(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c == '+') c = '.';
    return r;
}

}  // namespace

// --- Nibble packing -----------------------------------------------------------------------

std::string PackText(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 2 + 1);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = NibbleOf(text[i]);
        const int lo = i + 1 < text.size() ? NibbleOf(text[i + 1]) : 14;
        const int b = hi * 16 + lo;
        out.push_back(static_cast<char>(b == 0 ? 0xEE : b));
    }
    return out;
}

void UnpackTextTo(std::string_view bytes, std::string& out) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = ByteAt(bytes, i);
        if (b == 0xEE) {
            out += "00";
            continue;
        }
        const int hi = b >> 4, lo = b & 15;
        const std::size_t pairStart = out.size();
        if (hi == 15)
            out += "   *F+";
        else if (hi < 14)
            out.push_back(kNibbleChars[hi]);
        if (lo == 15) {
            out.resize(pairStart);
            out += "  *F+";
        } else if (lo < 14) {
            out.push_back(kNibbleChars[lo]);
        }
    }
}

std::string UnpackText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    UnpackTextTo(bytes, out);
    return out;
}

// --- Scrambling ---------------------------------------------------------------------------

std::string ScrambleAddress(std::string_view address) {
    std::string r(address);
    const auto key = static_cast<unsigned char>(address.size());
    for (char& c : r) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
    return r;
}

bool IsIcaoAddress(std::string_view address) {
    return address.size() == 6 && std::all_of(address.begin(), address.end(), IsHexDigit);
}

bool IsPlausiblePosition(std::string_view lat, std::string_view lon) {
    const auto la = TryParseReal(lat), lo = TryParseReal(lon);
    return la && lo && std::isfinite(*la) && std::isfinite(*lo) && std::fabs(*la) <= 90 &&
           std::fabs(*lo) <= 180;
}

std::string UnscrambleAddress(std::string_view scrambled) {
    std::string r(scrambled);
    for (char& c : r) c = static_cast<char>(static_cast<unsigned char>(c) ^ 6);
    return r;
}

std::string ScrambleCallsign(std::string_view callsign) {
    std::string r(callsign);
    const auto key = static_cast<unsigned char>(callsign.size());
    for (char& c : r) c = static_cast<char>((static_cast<unsigned char>(c) ^ key) | 0x80);
    return r;
}

std::string UnscrambleCallsign(std::string_view bytes) {
    std::string r(bytes);
    if (r.empty() || ByteAt(bytes, 0) < 0x80) return r;
    const auto key = static_cast<unsigned char>(r.size());
    for (char& c : r) c = static_cast<char>((static_cast<unsigned char>(c) & 0x7F) ^ key);
    return r;
}

// --- Encoder ------------------------------------------------------------------------------

std::string AltitudeCode(std::string_view t) {
    if (t.empty()) return "9999";
    if (t.size() == 1) return "0000";
    const std::string_view quarter = t.substr(t.size() - 2);
    std::string code(t.substr(0, t.size() - 2));
    if (quarter == "00")
        code += '1';
    else if (quarter == "25")
        code += '2';
    else if (quarter == "50")
        code += '3';
    else if (quarter == "75")
        code += '4';
    if (code.size() < 4) code.insert(0, 4 - code.size(), '0');
    return code;
}

std::string ExpandAltitudeCode(std::string_view code) {
    if (code.size() < 2) return {};
    const char q = code.back();
    if (q < '1' || q > '8') return {};
    std::string_view hundreds = code.substr(0, code.size() - 1);
    bool negative = q >= '5';
    if (!hundreds.empty() && hundreds[0] == '-') {
        negative = true;
        hundreds.remove_prefix(1);
    }
    const std::int64_t h = IntOf(hundreds);
    const std::int64_t quarters = (q - '1') % 4;
    std::int64_t feet = (h < 0 ? -h : h) * 100 + quarters * 25;
    if (negative) feet = -feet;
    return std::to_string(feet);
}

std::string LabelAltitudeCode(std::string_view altitude, std::string_view qnh,
                              std::string_view transition, char onground) {
    std::optional<std::string> label = AltitudeLabel(altitude, qnh, onground == '1', transition);
    if (!label) return {};
    // The label travels with its letter as a digit: G as 9, F as 8, A as 7.
    char& letter = (*label)[0];
    letter = letter == 'G' ? '9' : letter == 'F' ? '8' : '7';
    return *label;
}

char ClassMarkCode(char classmark) {
    switch (classmark) {
        case '-':
            return '0';
        case '\'':
            return '1';
        case '"':
            return '2';
        case '*':
            return '3';
        case 'x':
            return '4';
        case ',':
            return '5';
        case 'v':
            return '6';
        default:
            return ' ';
    }
}

char SymbolOfCode(char code) {
    static constexpr char kSymbols[7] = {'-', '\'', '"', '*', 'x', ',', 'v'};
    if (code >= '0' && code <= '6') return kSymbols[code - '0'];
    return ' ';
}

std::string EncodeSbsReport(const TSBSFlight& r, std::string_view qnh,
                            std::string_view transition) {
    std::string out;
    out.reserve(128);
    out.push_back(static_cast<char>(0xFA));
    out.push_back(5);
    out += ScrambleAddress(r.icao.view());

    std::string head;
    head.reserve(40);
    head.push_back(r.onground);
    head.push_back(r.altres);
    head.push_back(r.intent);
    head.push_back(r.spi);
    head.push_back(r.emergency);
    head.push_back(r.alert);
    head.push_back(ClassMarkCode(r.classmark));
    head.push_back(r.noposition);
    head += AltitudeCode(r.altitude.view());
    head += r.emittime.view();
    head += ':';
    out.push_back(static_cast<char>(kHeadMark));
    out += PackText(head);

    if (r.blockident) {
        out.push_back(static_cast<char>(kBlockIdent));
        out += ScrambleCallsign(r.callsign.view());
        out += ':';
        std::string p = Copy(r.lat.str() + ":" + r.lon.str(), 1, 21);
        p += ':';
        p += PlusAsDot(r.gnssdiff.view());
        p += ':';
        p += PlusAsDot(r.vrate.view());
        p += ':';
        p += r.gspeed.view();
        p += ':';
        p += r.track.view();
        p += ':';
        p += r.tas.view();
        p += ":9";
        p += std::to_string(r.kind);
        p += ':';
        out += PackText(p);
    }
    auto block = [&out](unsigned char marker, std::initializer_list<std::string_view> fields) {
        std::string text;
        for (std::string_view f : fields) {
            text += f;
            text += ':';
        }
        out.push_back(static_cast<char>(marker));
        out += PackText(text);
    };
    if (r.block40) {
        const char mode[1] = {r.modes40};
        block(kBlockSelAlt, {r.selalt.view(), r.baro.view(), std::string_view(mode, 1)});
    }
    if (r.block50) block(kBlockRoll, {r.roll.view(), r.trackrate.view()});
    if (r.block60) block(kBlockHeading, {r.heading.view(), r.ias.view(), r.mach.view()});
    if (r.blockalt) {
        const std::string label = LabelAltitudeCode(r.altitude.view(), qnh, transition, r.onground);
        block(kBlockLabelAlt, {label, r.squawk.view()});
    }
    out.push_back(static_cast<char>(kReportEnd));
    return out;
}

// --- Kinds --------------------------------------------------------------------------------

DatagramKind ClassifyDatagram(std::string_view d) {
    if (d.size() < 3) return DatagramKind::kNone;
    const unsigned char first = ByteAt(d, 0), second = ByteAt(d, 1), last = ByteAt(d, d.size() - 1);
    if ((first & 0xF0) == 0xE0) return DatagramKind::kReceiverStatus;
    if (first == 0xFB) return DatagramKind::kRelayed;
    if (first == 0xFA && second >= 3 && second <= 5 && last == kReportEnd)
        return DatagramKind::kMainReport;
    if (first == '{' && last == '}') return DatagramKind::kPeerStatusOld;
    if (first == 0x04 && last == 0x05) return DatagramKind::kPeerStatus;
    if (first == '?' && last == '#') return DatagramKind::kGpsPosition;
    if (first == '[' && last == ']') return DatagramKind::kNetworkFlight;
    if (first == 0xFA && (second == 0xCE || second == 0xCF) && last == '&')
        return DatagramKind::kServerLine;
    if (first == 0x01 && last == 0x02) return DatagramKind::kChat;
    if (first == 0xFA && second >= 0xA0 && second <= 0xAF && last == kReportEnd)
        return DatagramKind::kAis;
    return DatagramKind::kNone;
}

// --- Main report parser -------------------------------------------------------------------

std::optional<MainReport> ParseMainReport(std::string_view d) {
    if (ClassifyDatagram(d) != DatagramKind::kMainReport) return std::nullopt;
    if (d.size() < 14) return std::nullopt;
    MainReport r;
    r.kind = ByteAt(d, 1);
    r.scrambled = r.kind != 3;
    const std::string_view raw = d.substr(2, 6);
    if (r.scrambled) {
        char a[6];
        for (std::size_t i = 0; i < 6; ++i) a[i] = static_cast<char>(ByteAt(raw, i) ^ 6);
        r.address = std::string_view(a, 6);
    } else {
        r.address = raw;
    }
    if (!IsIcaoAddress(r.address.view())) return std::nullopt;
    r.hashead = ByteAt(d, 8) == kHeadMark;
    // The body excludes the final 0xFF; blocks are searched from byte 9 on.
    const std::string_view body = d.substr(0, d.size() - 1);
    std::size_t headEnd = 9;
    while (headEnd < body.size() && !IsMarker(ByteAt(body, headEnd))) ++headEnd;
    r.head = body.substr(9, headEnd - 9);
    auto find = [&](unsigned char marker, ReportBlock& block) {
        for (std::size_t i = 9; i < body.size(); ++i) {
            if (ByteAt(body, i) != marker) continue;
            block.present = true;
            // Bytes after the marker, the final 0xFF included.
            block.truncated = d.size() - 1 - i < 2;
            std::size_t end = i + 1;
            if (marker == kBlockIdent) {
                // The scrambled call sign is not packed: it runs to its ":" whatever its
                // bytes, and the packed list follows up to the next marker.
                while (end < body.size() && body[end] != ':') ++end;
            }
            while (end < body.size() && !IsMarker(ByteAt(body, end))) ++end;
            block.content = body.substr(i + 1, end - (i + 1));
            return;
        }
    };
    find(kBlockIdent, r.ident);
    find(kBlockSelAlt, r.selalt);
    find(kBlockRoll, r.roll);
    find(kBlockHeading, r.heading);
    find(kBlockLabelAlt, r.labelalt);
    return r;
}

IdentFields ParseIdentBlock(std::string_view content) {
    std::string scratch;
    return ParseIdentBlock(content, scratch);
}

IdentFields ParseIdentBlock(std::string_view content, std::string& p) {
    IdentFields f;
    const std::size_t colon = content.find(':');
    const std::string_view call = content.substr(0, colon);
    f.callsign = Trim(Printable(UnscrambleCallsign(call)));
    if (colon == std::string_view::npos) return f;
    p.clear();
    UnpackTextTo(content.substr(colon + 1), p);
    FieldReader fields(p);
    for (std::string* field : {&f.lat, &f.lon, &f.gnssdiff, &f.vrate, &f.gs, &f.track, &f.tas})
        field->assign(fields.Next());
    PlusBack(f.gnssdiff);
    PlusBack(f.vrate);
    const std::string_view eighth = fields.Next();
    if (!eighth.empty() && eighth[0] == '9') f.flags = IntOf(eighth.substr(1)) & 0xFF;
    return f;
}

}  // namespace aerova
