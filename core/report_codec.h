#pragma once
// The target report datagram family: every target, peer status, chat line, GPS position and
// receiver status line reaches the report listener (UDP 7979) as one datagram of this family.
// A datagram is at most 510 bytes and is read as text ending at the first 0x00 byte, which is
// why numeric texts inside the main report are nibble-packed (no packed byte is ever 0x00).
//
// Main target report, kinds 3, 4 and 5:
//
//   byte  0      1      2 .. 7        8      9 ..             blocks, any order        last
//       +------+------+-------------+------+----------------+-----------------------+------+
//       | 0xFA | kind | address     | 0xFE | head (packed)  | marker, packed fields | 0xFF |
//       +------+------+-------------+------+----------------+-----------------------+------+
//   address: kind 3 plain hex; kinds 4 and 5 each character XOR 6
//   head   : G R I S E A C N | BBBB | sep | time text | ':'
//            G ground flag, R altitude resolution, I intent change, S SPI, E emergency,
//            A alert, C class-mark code 0-6, N no-position (odd digit), BBBB box field or ":"
//   blocks : 0xF0 callsign (scrambled, bit 7 set) ':' P = lat:lon:gnss:vrate:gs:track:tas:9flags:
//            0xF4 selalt:qnh:mode:      0xF5 roll:turn:      0xF6 heading:ias:mach:
//            0xF8 labelcode:squawk:
//
// Nibble packing: "0"-"9" -> 0-9, ":" 10, " " 11, "-" 12, "." 13; an odd last character gets
// the low nibble 14; the pair "00" (byte 0x00) travels as 0xEE.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/flight.h"
#include "core/sbs_flight.h"

namespace aerova {

// The station reads at most this many bytes of any UDP datagram (reports, frame texts,
// data-server replies); longer ones are cut.
constexpr std::size_t kMaxDatagram = 510;
// The report listener's UDP port (shifted by the station's port offset).
constexpr int kReportListenerPort = 7979;

// Block markers of the main target report.
constexpr unsigned char kHeadMark = 0xFE;
constexpr unsigned char kBlockIdent = 0xF0;
constexpr unsigned char kBlockSelAlt = 0xF4;
constexpr unsigned char kBlockRoll = 0xF5;
constexpr unsigned char kBlockHeading = 0xF6;
constexpr unsigned char kBlockLabelAlt = 0xF8;
constexpr unsigned char kReportEnd = 0xFF;

// --- Nibble packing and scrambling -------------------------------------------------------

// Characters outside the packing alphabet travel as a blank (a sender must not pass them).
std::string PackText(std::string_view text);
// Corrupt nibbles (15) come back as the marks "   *F+" (high) and "  *F+" (low).
std::string UnpackText(std::string_view bytes);
// Appends the unpacked text to `out` (no allocation when `out` has room).
void UnpackTextTo(std::string_view bytes, std::string& out);

// Each character XOR the text's length.
std::string ScrambleAddress(std::string_view address);
// An ICAO aircraft address as the datagrams carry it: exactly six hexadecimal digits. Every
// parser drops a datagram whose address is anything else, since the address names a target
// and its aircraft file.
bool IsIcaoAddress(std::string_view address);
// A position from outside that the station may store: both texts finite numbers, the
// latitude within +-90 and the longitude within +-180 degrees.
bool IsPlausiblePosition(std::string_view lat, std::string_view lon);
// Kinds 4 and 5: each of the six characters XOR 6.
std::string UnscrambleAddress(std::string_view scrambled);
// Each character (c XOR length) OR 0x80.
std::string ScrambleCallsign(std::string_view callsign);
// A first byte with bit 7 set marks a scrambled call sign; otherwise it is returned unchanged.
std::string UnscrambleCallsign(std::string_view bytes);

// --- Main target report: encoder ---------------------------------------------------------

// Kind-5 box field from an altitude text in feet: "36025" -> "3602", "5000" -> "0501",
// "" -> "9999", one character -> "0000".
std::string AltitudeCode(std::string_view altitude);
// The receiver's expansion of a kind-5 box field back to feet; empty for "9999", "0000" and
// any code without a quarter digit 1-8.
std::string ExpandAltitudeCode(std::string_view code);
// Four-character label code of block 0xF8 ("9---", "9000", "8" + FL, "7" + hundreds of feet),
// or empty when altitude, pressure setting or transition altitude is missing.
std::string LabelAltitudeCode(std::string_view altitude, std::string_view qnh,
                              std::string_view transition, char onground);
// Class mark -> symbol code "0".."6" (minus ' " * x , v), anything else a blank.
char ClassMarkCode(char classmark);
// Symbol code "0".."6" -> the class-mark symbol character, anything else a blank.
char SymbolOfCode(char code);

// A kind-5 main target report from the decoder's record. `qnh` is the station's pressure
// setting in hPa and `transition` the transition altitude in feet, both as texts.
std::string EncodeSbsReport(const TSBSFlight& record, std::string_view qnh,
                            std::string_view transition);

// --- Datagram kinds ----------------------------------------------------------------------

enum class DatagramKind {
    kNone,
    kReceiverStatus,  // 0xE_ ... 0xEF
    kRelayed,         // 0xFB + datagram
    kMainReport,      // 0xFA 3/4/5 ... 0xFF
    kPeerStatusOld,   // "{" ... "}"
    kPeerStatus,      // 0x04 ... 0x05
    kGpsPosition,     // "?" ... "#"
    kNetworkFlight,   // "[" ... "]"
    kServerLine,      // 0xFA 0xCE / 0xCF ... "&"
    kChat,            // 0x01 ... 0x02
    kAis,             // 0xFA 0xA0..0xAF ... 0xFF
};

// The kind by first, second and last byte, tested in the order of the list above.
// Receiver status lines are recognised by their first byte only (any 0xE_); their length
// and final byte are checked by ParseReceiverStatus.
DatagramKind ClassifyDatagram(std::string_view datagram);

// --- Main target report: parser ----------------------------------------------------------

struct ReportBlock {
    bool present = false;
    bool truncated = false;    // marker followed by fewer than two bytes: processing ends here
    std::string_view content;  // bytes after the marker up to the next marker
};

struct MainReport {
    int kind = 0;            // 3, 4 or 5
    bool scrambled = false;  // kinds 4 and 5
    Text<6> address;         // unscrambled
    bool hashead = false;    // byte 8 is 0xFE
    std::string_view head;   // packed head, byte 9 up to the first marker
    ReportBlock ident, selalt, roll, heading, labelalt;
};

// Splits a main report (0xFA, kind 3/4/5, ..., 0xFF) into address, head and blocks. Nothing
// for a datagram of another kind, shorter than 14 bytes or whose (unscrambled) address is
// not six hexadecimal digits.
std::optional<MainReport> ParseMainReport(std::string_view datagram);

// Fields of the packed list P of block 0xF0, as unpacked texts.
struct IdentFields {
    std::string callsign;  // unscrambled, trimmed
    std::string lat, lon;
    std::string gnssdiff;  // "." turned back into "+"
    std::string vrate;     // "." turned back into "+"
    std::string gs, track, tas;
    int flags = 255;  // validity flags; 255 when the eighth field is absent or not "9..."
};
IdentFields ParseIdentBlock(std::string_view content);
// The same, unpacking into `scratch` (reused between reports to spare an allocation).
IdentFields ParseIdentBlock(std::string_view content, std::string& scratch);

// --- Receiver status line ----------------------------------------------------------------

struct ReceiverStatusLine {
    unsigned char type = 0;  // 0xE0..0xEF
    int slot = -1;           // 0..3 for 0xE1..0xE4, -1 for the others (0xEE only sets a flag)
    std::string text;        // the slot text
};
// At most 18 bytes, first byte 0xE_, last byte 0xEF.
std::optional<ReceiverStatusLine> ParseReceiverStatus(std::string_view datagram);

// --- Network kinds (handled by the station network) --------------------------------------

// Peer status, full ("{...}" or 0x04...0x05) or a local source's short "ICOD" status. The
// peer record carries the message's fields; ip, port, active, lastheard are the handler's.
struct PeerStatusMessage {
    bool full = true;      // false for the "ICOD" short status
    bool oldform = false;  // "{...}"
    TPeer peer;
};
std::optional<PeerStatusMessage> ParsePeerStatus(std::string_view datagram);

// Chat: 0x01, sender, TAB, message, 0x02. At most 255 characters after the first byte are
// used; the message loses its last character (the 0x02).
std::optional<TChat> ParseChat(std::string_view datagram);

// Network flight report "[...]" parsed into an otherwise empty record (all fields zero or
// empty, `deleted`, `free` and `nopos` false), with the post-processing of the format
// applied (ground-speed substitution, squawk marks, no position for empty coordinates).
struct NetworkFlightReport {
    Tflight record;
    bool hasstatus = false;  // fields 17-20 were present
};
std::optional<NetworkFlightReport> ParseNetworkFlightReport(std::string_view datagram);
// A Tflight with every field zero or empty, as the network handlers build records.
Tflight EmptyFlightRecord();

// Data-server line (0xFA 0xCE) and mobile position (0xFA 0xCF), "&"-terminated. Nothing
// for a line whose address is not six hexadecimal digits, or whose position is not
// plausible (IsPlausiblePosition; a mobile position must have one).
struct ServerLine {
    bool mobile = false;  // 0xCF
    std::string label;    // trimmed; also the call sign
    std::string reg, icaotype, modes, lat, lon;
    std::string altlabel;  // upper-cased
    std::string track, gs, vratecode, squawk, route;
    std::string box;  // first four characters, trimmed
};
std::optional<ServerLine> ParseServerLine(std::string_view datagram);

// Station GPS position "?" lat ":" lon ":" t6 ":" t2 "#".
struct GpsPositionMessage {
    Text<14> lat, lon;
    Text<6> text6;
    Text<2> text2;
};
std::optional<GpsPositionMessage> ParseGpsPosition(std::string_view datagram);

}  // namespace aerova
