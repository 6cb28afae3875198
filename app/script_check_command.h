#pragma once
// aerovamini --check-script FILE: the alert script check from the command line, for scripts
// written outside the script window and for a station without a display.

#include <iosfwd>

#include "app/run_options.h"

namespace aerova {

// Checks the script `options.checkScript` with the include files of aerova-scripts/ in the
// station directory, and prints the checked program, then the error list, one line each, to
// `out`. The exit code: 0 without errors, 1 with errors, 2 (and a message on `err`) when the
// file cannot be read or is larger than a script may be.
int RunScriptCheck(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace aerova
