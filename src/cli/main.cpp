// skedora-cli: the Skedora Converter without a window.

#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>

#include "cli/commands.h"
#include "model/version.h"

namespace {

using namespace skedora::cli;

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

/** A folder that must exist: the home of SK.ini and FileList.txt. */
std::string ExistingFolder(const std::string& text) {
    return std::filesystem::is_directory(text) ? std::string() : text + " is not a folder";
}

/** Seconds between polls: a finite number, 0 or more, at most a year. */
std::string PollInterval(const std::string& text) {
    double seconds = 0;
    if (!CLI::detail::lexical_cast(text, seconds) || !std::isfinite(seconds) || seconds < 0 ||
        seconds > 86400.0 * 365) {
        return "needs a number of seconds, 0 or more";
    }
    return {};
}

void AddHomeOption(CLI::App& command, std::filesystem::path& home) {
    command.add_option("--home", home, "Folder of SK.ini and FileList.txt")
        ->type_name("DIR")
        ->check(CLI::Validator(ExistingFolder, "", "ExistingFolder"));
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App cli(
        "Converts broadcast schedule files (.DBF, .CSV) into .CP2 files with the rules "
        "of SK.ini.",
        "skedora-cli");
    cli.set_version_flag("--version", skedora::VersionText(), "Print the version and exit");
    cli.require_subcommand(1);
    cli.fallthrough();
    cli.footer("DIR defaults to the program's own folder.");

    ConvertOptions convert;
    convert.home = ProgramFolder();
    CLI::App* convertCommand = cli.add_subcommand(
        "convert", "Convert one schedule file into a .CP2 file (beside it, or FILE)");
    AddHomeOption(*convertCommand, convert.home);
    convertCommand->add_option("--output", convert.output, "Write the output to FILE")
        ->type_name("FILE");
    convertCommand->add_option("SCHEDULE", convert.schedule, "The .DBF or .CSV file")
        ->type_name("FILE")
        ->required()
        ->check([](const std::string& text) {
            return text.empty() ? std::string("needs a schedule file") : std::string();
        });

    WatchOptions watch;
    watch.home = ProgramFolder();
    CLI::App* watchCommand = cli.add_subcommand(
        "watch", "Convert the new schedule files of the watch folder set in SK.ini");
    AddHomeOption(*watchCommand, watch.home);
    watchCommand
        ->add_option("--interval", watch.intervalSeconds,
                     "Seconds between polls (0: as soon as no job runs)")
        ->type_name("SECONDS")
        ->default_val(10)
        ->check(CLI::Validator(PollInterval, "", "PollInterval"));
    watchCommand->add_option("--polls", watch.polls, "Stop after N polls")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);

    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return cli.exit(help);
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        // The usage of the command that was given, from the same definitions as --help.
        const CLI::App* given = convertCommand->parsed() ? convertCommand
                                : watchCommand->parsed() ? watchCommand
                                                         : &cli;
        std::cerr << "skedora-cli: " << error.what() << "\n\n"
                  << given->help(given == &cli ? "" : "skedora-cli") << std::endl;
        return kExitUsage;
    }

    InstallStopSignals();
    if (convertCommand->parsed()) {
        return RunConvert(convert);
    }
    return RunWatch(watch);
}
