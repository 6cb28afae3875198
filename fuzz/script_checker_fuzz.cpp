// libFuzzer target: the input as the text of an alert script, checked against a scripts folder
// whose include files nest, loop and include themselves. The check must end, number at most
// 98 lines in order, and show nothing of a file outside the folder.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/strings.h"
#include "scripts/script_checker.h"

namespace {

constexpr std::string_view kOutsideMarker = "OUTSIDE-THE-SCRIPTS-FOLDER";

// A station directory with a file beside aerova-scripts/ that no include may reach.
class ScriptsFolder {
  public:
    ScriptsFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "aerova-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) __builtin_trap();
        station_ = pattern;
        scripts_ = (station_ / "aerova-scripts").string();
        std::filesystem::create_directories(scripts_);
        Write(station_ / "secret.aqs", kOutsideMarker);
        Write(station_ / "aerova-scripts" / "common.aqs", "ONFLIGHT X { shared }\n$inner.aqs$");
        Write(station_ / "aerova-scripts" / "inner.aqs", "DOPOPUP \"hi\" $common.aqs$");
        Write(station_ / "aerova-scripts" / "self.aqs", "DOCHIME\n$self.aqs$");
        Write(station_ / "aerova-scripts" / "a.aqs", "$b.aqs$\nONREG X");
        Write(station_ / "aerova-scripts" / "b.aqs", "$a.aqs$\n$common.aqs$");
        std::error_code ignored;
        std::filesystem::create_symlink("../secret.aqs", station_ / "aerova-scripts" / "out.aqs",
                                        ignored);
    }
    ~ScriptsFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(station_, ignored);
    }
    const std::string& scripts() const { return scripts_; }

  private:
    static void Write(const std::filesystem::path& path, std::string_view text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::filesystem::path station_;
    std::string scripts_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScriptsFolder folder;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    const aerova::ScriptCheck check = aerova::CheckScript(source, folder.scripts());

    // Lines numbered 010, 020, ... in order.
    std::size_t lines = 0;
    if (!check.program.empty()) {
        for (const std::string& line : aerova::Split(check.program, '\n')) {
            ++lines;
            const std::string number = aerova::PadLeft(std::to_string(lines * 10), 3, '0');
            if (line.compare(0, 5, aerova::Concat({" ", number, " "})) != 0) __builtin_trap();
        }
    }
    if (lines > aerova::kMaxScriptLines) __builtin_trap();
    if (source.find(kOutsideMarker) == std::string_view::npos) {
        if (check.program.find(kOutsideMarker) != std::string::npos) __builtin_trap();
        for (const std::string& e : check.errors)
            if (e.find(kOutsideMarker) != std::string::npos) __builtin_trap();
    }
    return 0;
}
