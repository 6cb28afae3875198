#pragma once
// The country table of Mode-S address blocks (ICAO Annex 10, Volume III, Chapter 9), read
// from "countries.dat": lines "Name=pattern,anything" whose pattern gives the 24 address
// bits as "0", "1" and "x", most significant first.

#include <string>
#include <string_view>
#include <vector>

namespace aerova {

class CountryTable {
  public:
    // (Re)builds the table from the file; a missing file leaves it empty. Lines without "="
    // and lines whose pattern does not start with 16 binary digits or "x" are skipped.
    void LoadCountries(const std::string& path);
    // Builds the table from the text of a countries file.
    void Parse(std::string_view content);

    // The country of a six-digit address: "Unknown" for "000000" and below the first block,
    // empty for "FS2004" and with an empty table; an address that opens a block belongs
    // to the block before it.
    std::string CountryOfAddress(std::string_view modes) const;

    std::size_t size() const { return entries_.size(); }
    // Entries as stored: six hexadecimal digits, a blank, the name; sorted.
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
};

}  // namespace aerova
