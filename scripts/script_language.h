#pragma once
// The alert script language: statements are a keyword and its arguments. Conditions (ON...)
// take blank-separated words, actions (DO...) take texts in double quotes. The station checks
// scripts; it does not evaluate them.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

struct StatementKeyword {
    std::string_view keyword;
    int code;  // last decimal digit: the number of arguments; from 1000 on: an action
};

// Any first word that is not a keyword: no arguments.
constexpr int kUnknownStatement = -100;

// Every keyword of the language with its code.
std::span<const StatementKeyword> StatementTable();

inline int ArgumentCount(int code) {
    return (code < 0 ? -code : code) % 10;
}
inline bool IsAction(int code) {
    return code >= 1000;
}

struct Statement {
    int code = kUnknownStatement;
    std::vector<std::string> args;  // as many as the code says, empty where one was missing
    std::string rest;               // the line after the statement, trimmed
};

// Consumes one statement from the front of `line`: the keyword (any case), then its
// arguments. A condition's word is the text up to the next blank; an action's text is what
// stands between the next two double quotes, and without a closing quote it is empty and
// nothing of the line is taken.
Statement ParseStatement(std::string_view line);

}  // namespace aerova
