#include "app/run_options.h"

#include "base/numbers.h"

namespace aerova {

std::optional<RunOptions> ParseRunOptions(const std::vector<std::string>& args,
                                          std::string& error) {
    RunOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = std::string(name) + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        if (i == 0 && a == "nosrv") {
            o.nosrv = true;
        } else if (a == "--headless") {
            o.headless = true;
        } else if (a == "--demo") {
            o.demo = true;
        } else if (a == "--poll") {
            o.poll = true;
        } else if (a == "--station-dir") {
            auto v = value("--station-dir");
            if (!v) return std::nullopt;
            o.stationDir = *v;
        } else if (a == "--port-offset") {
            auto v = value("--port-offset");
            if (!v) return std::nullopt;
            auto n = TryParseInt(*v);
            if (!n || *n < 0 || *n > 50000) {
                error = "--port-offset takes a number from 0 to 50000";
                return std::nullopt;
            }
            o.portOffset = *n;
        } else if (a == "--run-seconds") {
            auto v = value("--run-seconds");
            if (!v) return std::nullopt;
            auto n = TryParseReal(*v);
            if (!n || *n <= 0) {
                error = "--run-seconds takes a positive number";
                return std::nullopt;
            }
            o.runSeconds = *n;
        } else if (a == "--check-script") {
            auto v = value("--check-script");
            if (!v) return std::nullopt;
            // An empty name would start the station instead of checking a script.
            if (v->empty()) {
                error = "--check-script needs a file name";
                return std::nullopt;
            }
            o.checkScript = *v;
        } else if (a == "--net-input") {
            auto v = value("--net-input");
            if (!v) return std::nullopt;
            std::string problem;
            auto source = ParseNetInputSource(*v, problem);
            if (!source) {
                error = "--net-input takes HOST:PORT[,raw|beast]: " + problem;
                return std::nullopt;
            }
            o.netInputs.push_back(std::move(*source));
        } else {
            error = "unknown option: " + a;
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace aerova
