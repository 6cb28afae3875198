#include "receiver/decoder_table.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "base/numbers.h"
#include "receiver/mode_s_decoder.h"

namespace aerova {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr DayTime kEmitEpoch = 38824.0;  // 17 April 2006 00:00 UTC

void AddressText(std::uint32_t address, char (&text)[6]) {
    for (int i = 5; i >= 0; --i) {
        text[i] = kHexDigits[address & 0x0F];
        address >>= 4;
    }
}

bool HasAddress(const TSBSFlight& record, std::uint32_t address) {
    char text[6];
    AddressText(address, text);
    return record.icao.len == 6 && std::memcmp(record.icao.chars, text, 6) == 0;
}

}  // namespace

void InitialSbsFlight(TSBSFlight& r, std::uint32_t address, bool withAddress) {
    r = TSBSFlight{};  // every field zero: the record has no padding
    if (withAddress) {
        char text[6];
        AddressText(address, text);
        r.icao = std::string_view(text, 6);
    }
    r.modes40 = ' ';
    // category .. vratesource are one run of one-character fields.
    constexpr std::size_t first = offsetof(TSBSFlight, category);
    constexpr std::size_t last = offsetof(TSBSFlight, vratesource);
    std::memset(reinterpret_cast<char*>(&r) + first, ' ', last - first + 1);
    r.noposition = '1';
    r.reserved147 = 1;
    r.dr = ' ';
    r.um = ' ';
    r.cprstate = 1;
    r.reserved155 = ' ';
}

DecoderTable::DecoderTable(FrameDecoder& decoder, std::size_t maxLength)
    : decoder_(decoder), maxLength_(maxLength < 2 ? 2 : maxLength), flights_(2), books_(2) {
    for (auto& f : flights_) f = TSBSFlight{};
    std::memset(books_.data(), 0, books_.size() * sizeof(TSBSBookkeeping));
    index_.reserve(4096);
}

int DecoderTable::LinearFind(std::uint32_t address) const {
    for (std::size_t i = 1; i + 1 < flights_.size(); ++i) {
        if (HasAddress(flights_[i], address)) return static_cast<int>(i);
    }
    return -1;
}

int DecoderTable::FindTarget(std::uint32_t address) const {
    const auto it = index_.find(address);
    if (it == index_.end()) return -1;
    const auto i = static_cast<std::size_t>(it->second);
    if (i >= 1 && i + 1 < flights_.size() && HasAddress(flights_[i], address)) return it->second;
    return LinearFind(address);
}

int DecoderTable::AddTarget(std::uint32_t address) {
    // The lowest slot freed by the ageing, else the last element, which is always free.
    std::size_t slot = flights_.size() - 1;
    while (!freeSlots_.empty()) {
        const auto lowest = static_cast<std::size_t>(freeSlots_.top());
        freeSlots_.pop();
        if (lowest + 1 < flights_.size() && flights_[lowest].icao.empty()) {
            slot = lowest;
            break;
        }
    }
    const bool tookLast = slot + 1 == flights_.size();
    if (tookLast && flights_.size() >= maxLength_) return -1;
    TSBSBookkeeping& book = books_[slot];
    book.updated = 0;
    book.cleared = 0;
    InitialSbsFlight(flights_[slot], address & 0xFFFFFFu, true);
    index_[address & 0xFFFFFFu] = static_cast<int>(slot);
    if (tookLast) {
        flights_.push_back(TSBSFlight{});
        books_.emplace_back();
        std::memset(&books_.back(), 0, sizeof(TSBSBookkeeping));
    }
    return static_cast<int>(slot);
}

void DecoderTable::Decode(int index, const TSBSMsg& frame, DayTime utcNow) {
    const auto i = static_cast<std::size_t>(index);
    const std::uint8_t* p = frame.payload.data();
    if (frame.type == 1) {
        decoder_.DecodeExtendedSquitter(flights_[i], p[4], p + 8, 7);
    } else {
        decoder_.DecodeShortOrCommB(flights_[i], p[4], p + 5, frame.payload.size - 5U);
    }
    books_[i].updated = 1;
    books_[i].lastseen = utcNow;
    if (i < firstUpdated_) firstUpdated_ = i;
}

void DecoderTable::DispatchFrame(const TSBSMsg& frame, DayTime utcNow) {
    const std::int32_t address = FrameAddress(frame);
    if (address < 0) return;
    if (frame.type == 1 && !CarriesAdsbWithIcaoAddress(frame.payload[4])) return;
    const auto a = static_cast<std::uint32_t>(address);
    int index = FindTarget(a);
    if (index < 0) {
        // Only extended squitters and DF 11 all-call replies announce an address; frames
        // whose address comes from the parity field may only update known targets.
        const bool announces =
            frame.type == 1 || (frame.type == 7 && (frame.payload[4] >> 3) == 11);
        if (!announces) return;
        index = AddTarget(a);
        if (index < 0) return;
    }
    Decode(index, frame, utcNow);
}

void DecoderTable::AgeTargets(DayTime utcNow) {
    for (std::size_t i = 1; i + 1 < flights_.size(); ++i) {
        TSBSFlight& r = flights_[i];
        if (r.icao.empty()) continue;
        TSBSBookkeeping& book = books_[i];
        if (utcNow - book.lastseen > kFreeAfter) {
            const auto it = index_.find(
                static_cast<std::uint32_t>(std::strtoul(r.icao.str().c_str(), nullptr, 16)));
            if (it != index_.end() && static_cast<std::size_t>(it->second) == i) index_.erase(it);
            InitialSbsFlight(r, 0, false);
            // A freed slot has nothing left to report.
            book.updated = 0;
            freeSlots_.push(static_cast<int>(i));
        } else if (!r.lat.empty() && utcNow - book.lastseen > kPositionClearAfter) {
            r.lat.clear();
            r.lon.clear();
            r.noposition = '1';
        }
    }
}

int DecoderTable::CountUpdated() const {
    int count = 0;
    for (std::size_t i = 1; i + 1 < books_.size(); ++i) count += books_[i].updated == 1 ? 1 : 0;
    return count;
}

int DecoderTable::ReadNextFlight(TSBSFlight& out) {
    std::size_t i = firstUpdated_ < 1 ? 1 : firstUpdated_;
    while (i + 1 < flights_.size() && books_[i].updated != 1) ++i;
    firstUpdated_ = i;
    if (i + 1 < flights_.size()) {
        TSBSFlight& r = flights_[i];
        TSBSBookkeeping& book = books_[i];
        if (!r.lat.empty()) r.noposition = '0';
        if (book.lastseen != lastEmitSeen_ || lastEmitText_.empty()) {
            lastEmitSeen_ = book.lastseen;
            lastEmitText_ = RealToText(book.lastseen - kEmitEpoch);
        }
        r.emittime = std::string_view(lastEmitText_).substr(0, 13);
        std::memcpy(&out, &r, sizeof(TSBSFlight));
        book.updated = 0;
        r.blockident = r.block40 = r.block50 = r.block60 = r.blockalt = 0;
        r.kind = 0;
        r.altitude.clear();
        r.lat.clear();
        r.lon.clear();
        firstUpdated_ = i + 1;
    }
    return --pendingCount;
}

}  // namespace aerova
