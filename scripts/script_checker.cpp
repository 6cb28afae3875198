#include "scripts/script_checker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/files.h"
#include "base/strings.h"
#include "scripts/script_language.h"

namespace aerova {

namespace {

// Comments run from "{" to "}". A "}" that comes before the first "{" (or a "{" that is
// never closed) takes everything from the start of the text up to that "{" with it, so a
// script whose comment lost its opening brace loses the lines above it rather than running
// them. One pass over the text: what is kept before `from` holds no braces any more, so the
// first "{" and "}" of the whole text are the first ones at or after `from`.
std::string RemoveComments(std::string_view text) {
    std::string kept;
    std::size_t from = 0;
    std::size_t close = text.find('}');
    for (;;) {
        const std::size_t open = text.find('{', from);
        if (open == std::string_view::npos) break;
        if (close != std::string_view::npos && close < from) close = text.find('}', from);
        if (close == std::string_view::npos || close < open) {
            kept.clear();
            from = open + 1;
        } else {
            kept.append(text.substr(from, open - from));
            from = close + 1;
        }
    }
    kept.append(text.substr(from));
    return kept;
}

// Five passes of pair-to-one, as scripts have always been squeezed: runs of up to 32 blanks
// become one.
std::string SqueezeBlanks(std::string text) {
    for (int pass = 0; pass < 5; ++pass) text = ReplaceAll(text, "  ", " ");
    return text;
}

std::vector<std::string> TrimmedLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string& line : Split(Trim(text), '\n')) {
        std::string trimmed = Trim(line);
        if (!trimmed.empty()) lines.push_back(std::move(trimmed));
    }
    return lines;
}

// The editor text and every include file go through the same steps, so an include file's
// comments and blank lines never become statements.
std::vector<std::string> NormalisedLines(std::string_view text) {
    return TrimmedLines(SqueezeBlanks(RemoveComments(Trim(text))));
}

std::size_t TextBytes(const std::vector<std::string>& lines) {
    std::size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    return bytes;
}

enum class IncludeRead { kRead, kMissing, kOutside, kTooLarge };

struct IncludeFile {
    IncludeRead read = IncludeRead::kMissing;
    std::vector<std::string> lines;
    std::size_t bytes = 0;
};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// Reads an include file of the scripts folder. The name is resolved first: a link that
// leads out of the folder is refused before anything is opened, and only a regular file is
// read (a pipe or a device would block the check or never end), at most kMaxScriptBytes.
IncludeFile ReadIncludeFile(const std::filesystem::path& folder, const std::string& name) {
    IncludeFile file;
    if (folder.empty()) return file;
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(folder / name, ec);
    if (ec) return file;
    if (resolved.parent_path() != folder) {
        file.read = IncludeRead::kOutside;
        return file;
    }
    const FileDescriptor fd(
        ::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return file;
    if (static_cast<unsigned long long>(status.st_size) > kMaxScriptBytes) {
        file.read = IncludeRead::kTooLarge;
        return file;
    }
    // One byte more than fstat said, to notice a file that grows while it is read.
    std::string text(static_cast<std::size_t>(status.st_size) + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + size, text.size() - size);
        if (n < 0) return file;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    if (size > kMaxScriptBytes) {
        file.read = IncludeRead::kTooLarge;
        return file;
    }
    text.resize(size);
    file.read = IncludeRead::kRead;
    file.lines = NormalisedLines(text);
    file.bytes = TextBytes(file.lines);
    return file;
}

// Replaces every include line "$name$" by the lines of the file `name`, which are examined in
// turn before the lines after the include line. A faulty include line is reported once and
// dropped, so the expansion always ends: a file already being expanded is refused (a script
// that includes itself, directly or through others), nesting is capped, and the text may not
// grow beyond kMaxScriptBytes. Each file is read once per check.
class IncludeExpander {
  public:
    IncludeExpander(const std::string& scriptsDir, std::vector<std::string>& errors)
        : scriptsDir_(scriptsDir), errors_(errors) {
        std::error_code ec;
        folder_ = std::filesystem::canonical(scriptsDir, ec);
        if (ec) folder_.clear();
    }

    std::vector<std::string> Expand(const std::vector<std::string>& source) {
        std::vector<std::string> lines;
        bytes_ = TextBytes(source);
        std::vector<Frame> stack{{&source, 0, {}}};
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.lines->size()) {
                stack.pop_back();
                continue;
            }
            const std::string& line = (*top.lines)[top.next++];
            if (line.front() != '$') {
                lines.push_back(line);
                continue;
            }
            if (const IncludeFile* file = Include(line, stack))
                stack.push_back({&file->lines, 0, IncludeName(line)});
        }
        return lines;
    }

  private:
    struct Frame {
        const std::vector<std::string>* lines;
        std::size_t next;
        std::string name;  // the include file, empty for the editor text
    };

    static std::string IncludeName(const std::string& line) {
        const std::size_t end = line.find('$', 1);
        return end == std::string::npos ? std::string() : line.substr(1, end - 1);
    }

    // The file whose lines replace the include line, or nothing after reporting why not.
    const IncludeFile* Include(const std::string& line, const std::vector<Frame>& stack) {
        const std::string name = IncludeName(line);
        if (name.empty()) return Fault("E550 Include file statement incomplete");
        if (!IsPlainScriptName(name))
            return Fault(Concat({"E530 Include file name not allowed: ", name}));
        for (const Frame& frame : stack)
            if (frame.name == name)
                return Fault(Concat({"E510 Include file includes itself: ", name}));
        if (stack.size() > static_cast<std::size_t>(kMaxIncludeDepth))
            return Fault(Concat({"E520 Includes nested too deep: ", name}));
        auto cached = files_.find(name);
        if (cached == files_.end())
            cached = files_.emplace(name, ReadIncludeFile(folder_, name)).first;
        const IncludeFile& file = cached->second;
        switch (file.read) {
            case IncludeRead::kMissing:
                return Fault(
                    Concat({"E500 Include file not found: ", JoinPath(scriptsDir_, name)}));
            case IncludeRead::kOutside:
                return Fault(Concat({"E530 Include file name not allowed: ", name}));
            case IncludeRead::kTooLarge:
                return Fault(Concat({"E540 Include file makes the script too large: ", name}));
            case IncludeRead::kRead:
                break;
        }
        if (file.bytes > kMaxScriptBytes - std::min(bytes_, kMaxScriptBytes))
            return Fault(Concat({"E540 Include file makes the script too large: ", name}));
        bytes_ += file.bytes;
        return &file;
    }

    const IncludeFile* Fault(std::string message) {
        errors_.push_back(std::move(message));
        return nullptr;
    }

    const std::string& scriptsDir_;
    std::vector<std::string>& errors_;
    std::filesystem::path folder_;
    std::map<std::string, IncludeFile> files_;
    std::size_t bytes_ = 0;
};

bool ContainsAny(std::string_view text, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words)
        if (text.find(word) != std::string_view::npos) return true;
    return false;
}

void Report(std::vector<std::string>& errors, std::string_view statement, std::string_view message,
            std::string_view number) {
    errors.push_back(Concat({"\"", statement, "\""}));
    errors.push_back(Concat({message, number}));
}

// An altitude, speed, track or rate condition alone would match every flight in the sky: a
// line that has one must also say which flights (by identity, area or range) it is about.
void CheckCompleteness(const std::string& line, const std::string& number,
                       std::vector<std::string>& errors) {
    const std::string upper = UpperCase(line);
    if (ContainsAny(upper, {"ONALTITUDE", "ONSPEED", "ONTRACK", "ONVRATE"}) &&
        !ContainsAny(upper,
                     {"ONFLIGHT", "ONMODES", "ONREG", "ONAREA", "ONGATE", "ONNOPOS", "ONRANGE"}))
        Report(errors, upper, "E300 Unspecified statement in line ", number);
}

// Statement after statement until the line is used up; a fault is reported with the text
// from that statement on, and the check goes on with the rest. Conditions' words are not
// checked, an action's texts must not be empty.
void CheckStatements(const std::string& line, const std::string& number,
                     std::vector<std::string>& errors) {
    std::string rest = line;
    while (!rest.empty()) {
        Statement statement = ParseStatement(rest);
        if (statement.code == kUnknownStatement) {
            Report(errors, rest, "E100 Unknown statement in line ", number);
        } else if (IsAction(statement.code)) {
            for (const std::string& arg : statement.args) {
                if (arg.empty()) {
                    Report(errors, rest, "E200 Argument missing in line ", number);
                    break;
                }
            }
        }
        rest = std::move(statement.rest);
    }
}

}  // namespace

bool IsPlainScriptName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

ScriptCheck CheckScript(std::string_view source, const std::string& scriptsDir) {
    ScriptCheck check;
    const std::vector<std::string> lines =
        IncludeExpander(scriptsDir, check.errors).Expand(NormalisedLines(source));
    if (lines.size() > kMaxScriptLines) {
        check.errors.push_back("E900 Too many statements in file");
        return check;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string number = PadLeft(std::to_string((i + 1) * 10), 3, '0');
        if (i > 0) check.program.push_back('\n');
        check.program.append(Concat({" ", number, " ", lines[i]}));
        CheckCompleteness(lines[i], number, check.errors);
        CheckStatements(lines[i], number, check.errors);
    }
    return check;
}

}  // namespace aerova
