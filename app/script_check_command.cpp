#include "app/script_check_command.h"

#include <fstream>
#include <optional>
#include <ostream>
#include <string>

#include "base/files.h"
#include "platform/station_dir.h"
#include "scripts/script_checker.h"

namespace aerova {

namespace {

enum class ScriptRead { kRead, kUnreadable, kTooLarge };

// At most one byte more than a script may have, so a huge file or a device is not read whole.
ScriptRead ReadScript(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ScriptRead::kUnreadable;
    text.assign(kMaxScriptBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return ScriptRead::kUnreadable;
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text.size() > kMaxScriptBytes ? ScriptRead::kTooLarge : ScriptRead::kRead;
}

}  // namespace

int RunScriptCheck(const RunOptions& options, std::ostream& out, std::ostream& err) {
    std::string source;
    switch (ReadScript(options.checkScript, source)) {
        case ScriptRead::kUnreadable:
            err << "aerovamini: cannot read the script " << options.checkScript << '\n';
            return 2;
        case ScriptRead::kTooLarge:
            err << "aerovamini: the script " << options.checkScript << " is larger than "
                << kMaxScriptBytes << " bytes\n";
            return 2;
        case ScriptRead::kRead:
            break;
    }
    const std::string scriptsDir =
        JoinPath(ResolveStationDir(options.stationDir), "aerova-scripts");
    const ScriptCheck check = CheckScript(source, scriptsDir);
    if (!check.program.empty()) out << check.program << '\n';
    for (const std::string& line : check.errors) out << line << '\n';
    out.flush();
    return check.errors.empty() ? 0 : 1;
}

}  // namespace aerova
