#include "scripts/script_language.h"

#include <array>

#include "base/strings.h"

namespace aerova {

namespace {

constexpr std::array<StatementKeyword, 25> kStatements{{
    {"ONFLIGHT", 11},     {"ONMODES", 21},       {"ONALTITUDE", 32}, {"ONAREA", 44},
    {"ONGATE", 44},       {"ONSPEED", 52},       {"ONTRACK", 62},    {"ONVRATE", 72},
    {"ONICAOTYPE", 81},   {"ONREG", 91},         {"ONSQUAWK", 101},  {"ONRANGE", 113},
    {"ONSQLMATCH", 122},  {"ONOVERHEAD", 131},   {"ONNOPOS", 140},   {"ONCOUNT", 508},
    {"DOALERT", 1000},    {"DOPOPUP", 1011},     {"DOMAIL", 1022},   {"DOWRITELOG", 1032},
    {"DOSAVEJPEG", 1042}, {"DOFTPUPLOAD", 1051}, {"DOCHAT", 1061},   {"DOCHIME", 1070},
    {"DOEXEC", 1082},
}};

int StatementCode(std::string_view keyword) {
    const std::string upper = UpperCase(keyword);
    for (const StatementKeyword& k : kStatements)
        if (k.keyword == upper) return k.code;
    return kUnknownStatement;
}

// One word: the trimmed text before the first blank; `rest` gets the trimmed text after it.
std::string TakeWord(std::string_view line, std::string& rest) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
        rest.clear();
        return Trim(line);
    }
    std::string word = Trim(line.substr(0, blank));
    rest = Trim(line.substr(blank + 1));
    return word;
}

// One quoted text: whatever stands before the first quote is dropped with it (a line without
// quotes keeps everything), and the text runs to the next quote. Without that closing quote
// the text is empty and the line stays as it was for the next statement.
std::string TakeQuotedText(std::string_view line, std::string& rest) {
    const std::size_t open = line.find('"');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    const std::size_t close = line.find('"', start);
    if (close == std::string_view::npos) {
        rest = std::string(line);
        return {};
    }
    std::string text = Trim(line.substr(start, close - start));
    rest = Trim(line.substr(close + 1));
    return text;
}

}  // namespace

std::span<const StatementKeyword> StatementTable() {
    return kStatements;
}

Statement ParseStatement(std::string_view line) {
    Statement s;
    std::string rest;
    s.code = StatementCode(TakeWord(line, rest));
    const int count = ArgumentCount(s.code);
    for (int i = 0; i < count; ++i) {
        std::string after;
        // Conditions take words; actions (and the unknown statement, which takes none)
        // take quoted texts.
        s.args.push_back(s.code >= 0 && !IsAction(s.code) ? TakeWord(rest, after)
                                                          : TakeQuotedText(rest, after));
        rest = std::move(after);
    }
    s.rest = std::move(rest);
    return s;
}

}  // namespace aerova
