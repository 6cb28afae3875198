#pragma once
// The alert script's check: the pre-pass (comments, blanks, empty lines, include files) turns
// the editor text into numbered program lines, and the checker reports statements it does not
// know, actions without their texts and altitude, speed, track or rate conditions without a
// condition that says which flights they apply to.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace aerova {

struct ScriptCheck {
    // " 010 statements", " 020 ...", lines joined with "\n" (no "\n" after the last one);
    // empty after E900.
    std::string program;
    // For E100, E200 and E300 two lines each: the statement text in double quotes, then the
    // message. Include faults and E900 are one line each.
    std::vector<std::string> errors;
};

// A script holds at most this many lines after its includes are expanded (E900 beyond).
constexpr std::size_t kMaxScriptLines = 98;
// Include files nest at most this deep (E520 beyond).
constexpr int kMaxIncludeDepth = 16;
// Include files may make the script's text at most this large (E540 beyond).
constexpr std::size_t kMaxScriptBytes = 1 << 20;

// A name a user may give a script or include file: one file directly in the scripts folder.
// Not empty, not "." or "..", no "/" or "\", no control characters, at most 255 bytes.
bool IsPlainScriptName(std::string_view name);

// Runs the pre-pass and the checker on the editor text. Include lines "$name$" insert the
// file `name` of `scriptsDir`; nothing outside that folder is read.
ScriptCheck CheckScript(std::string_view source, const std::string& scriptsDir);

}  // namespace aerova
