#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <span>
#include <string_view>
#include <system_error>

#include "cli/commands.h"

namespace {

using namespace skedora::cli;

constexpr const char* kUsage =
    "Usage: skedora-cli convert [--home DIR] [--output FILE] SCHEDULE\n"
    "       skedora-cli watch [--home DIR] [--interval SECONDS] [--polls N]\n"
    "       skedora-cli --help | --version\n"
    "\n"
    "convert  converts one .DBF or .CSV schedule file into a .CP2 file (beside it, or FILE)\n"
    "         with the rules of SK.ini in DIR, and prints what it read and wrote.\n"
    "watch    converts the new schedule files of the watch folder set in SK.ini in DIR,\n"
    "         polling every SECONDS (default 10; 0: as soon as no job runs), N times or until\n"
    "         interrupted.\n"
    "DIR defaults to the program's own folder.\n";

void PrintVersion() {
    std::cout << SKEDORA_VERSION_MAJOR << '.' << SKEDORA_VERSION_MINOR << '.'
              << SKEDORA_VERSION_REVISION << '\n';
}

int BadUsage(std::string_view problem) {
    std::cerr << "skedora-cli: " << problem << "\n" << kUsage;
    return kExitUsage;
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

/** The value of an option given as "--name VALUE" or "--name=VALUE". */
class Arguments {
  public:
    explicit Arguments(std::span<char*> args) : m_args(args) {}
    bool Done() const { return m_next >= m_args.size(); }
    std::string_view Next() { return m_args[m_next++]; }
    /** For an option: its value, or none when it is missing. */
    std::optional<std::string_view> ValueOf(std::string_view arg, std::string_view name) {
        if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
            arg[name.size()] == '=') {
            return arg.substr(name.size() + 1);
        }
        if (Done()) {
            return std::nullopt;
        }
        return Next();
    }

  private:
    std::span<char*> m_args;
    std::size_t m_next = 0;
};

bool IsOption(std::string_view arg, std::string_view name) {
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                           arg[name.size()] == '=');
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

int Convert(Arguments args) {
    ConvertOptions options;
    options.home = ProgramFolder();
    bool haveSchedule = false;
    while (!args.Done()) {
        const std::string_view arg = args.Next();
        if (arg == "--help") {
            std::cout << kUsage;
            return kExitSuccess;
        }
        if (arg == "--version") {
            PrintVersion();
            return kExitSuccess;
        }
        if (IsOption(arg, "--home") || IsOption(arg, "--output")) {
            const bool home = IsOption(arg, "--home");
            const auto value = args.ValueOf(arg, home ? "--home" : "--output");
            if (!value || value->empty()) {
                return BadUsage(std::string(arg) + " needs a value");
            }
            if (home) {
                options.home = *value;
            } else {
                options.output = std::string(*value);
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
            return BadUsage("unknown option " + std::string(arg));
        } else if (!haveSchedule) {
            options.schedule =
                arg == "--" && !args.Done() ? std::string(args.Next()) : std::string(arg);
            haveSchedule = true;
        } else {
            return BadUsage("one schedule file at a time");
        }
    }
    if (!haveSchedule || options.schedule.empty()) {
        return BadUsage("convert needs a schedule file");
    }
    return RunConvert(options);
}

int Watch(Arguments args) {
    WatchOptions options;
    options.home = ProgramFolder();
    while (!args.Done()) {
        const std::string_view arg = args.Next();
        if (arg == "--help") {
            std::cout << kUsage;
            return kExitSuccess;
        }
        if (arg == "--version") {
            PrintVersion();
            return kExitSuccess;
        }
        if (IsOption(arg, "--home")) {
            const auto value = args.ValueOf(arg, "--home");
            if (!value || value->empty()) {
                return BadUsage("--home needs a folder");
            }
            options.home = *value;
        } else if (IsOption(arg, "--interval")) {
            const auto value = args.ValueOf(arg, "--interval");
            const auto seconds = value ? ParseNumber<double>(*value) : std::nullopt;
            if (!seconds || *seconds > 86400.0 * 365) {
                return BadUsage("--interval needs a number of seconds, 0 or more");
            }
            options.intervalSeconds = *seconds;
        } else if (IsOption(arg, "--polls")) {
            const auto value = args.ValueOf(arg, "--polls");
            const auto polls = value ? ParseNumber<long>(*value) : std::nullopt;
            if (!polls) {
                return BadUsage("--polls needs a whole number, 0 or more");
            }
            options.polls = *polls;
        } else {
            return BadUsage("unexpected argument " + std::string(arg));
        }
    }
    return RunWatch(options);
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args(std::span<char*>(argv + 1, argv + argc));
    if (args.Done()) {
        return BadUsage("a command is needed");
    }
    const std::string_view command = args.Next();
    if (command == "--help") {
        std::cout << kUsage;
        return kExitSuccess;
    }
    if (command == "--version") {
        PrintVersion();
        return kExitSuccess;
    }
    InstallStopSignals();
    if (command == "convert") {
        return Convert(args);
    }
    if (command == "watch") {
        return Watch(args);
    }
    return BadUsage("unknown command " + std::string(command));
}
