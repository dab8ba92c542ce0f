// skedora-cli: the Skedora Converter without a window.

#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>

#include "app/home_folder.h"
#include "cli/commands.h"
#include "cli/explain_command.h"
#include "model/version.h"

namespace {

using namespace skedora::cli;

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

void AddHomeOption(CLI::App& command, std::optional<std::filesystem::path>& home) {
    command.add_option("--home", home, "Folder of SK.ini, FileList.txt and the job log")
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
    const auto defaultHome = [] {
        return skedora::ResolveHomeFolder(std::nullopt, skedora::ProgramFolder(),
                                          std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    };
    const std::filesystem::path home = defaultHome();
    cli.footer("Settings folder: " +
               (home.empty() ? std::string("none (neither XDG_CONFIG_HOME nor HOME is set; give "
                                           "--home DIR)")
                             : home.string()));
    std::optional<std::filesystem::path> givenHome;

    ConvertOptions convert;
    CLI::App* convertCommand = cli.add_subcommand(
        "convert", "Convert one schedule file into a .CP2 file (beside it, or FILE)");
    AddHomeOption(*convertCommand, givenHome);
    convertCommand->add_option("--output", convert.output, "Write the output to FILE")
        ->type_name("FILE");
    convertCommand->add_option("SCHEDULE", convert.schedule, "The .DBF or .CSV file")
        ->type_name("FILE")
        ->required()
        ->check([](const std::string& text) {
            return text.empty() ? std::string("needs a schedule file") : std::string();
        });

    WatchOptions watch;
    CLI::App* watchCommand = cli.add_subcommand(
        "watch", "Convert the new schedule files of the watch folder set in SK.ini");
    AddHomeOption(*watchCommand, givenHome);
    watchCommand
        ->add_option("--interval", watch.intervalSeconds,
                     "Seconds between polls (0: as soon as no job runs)")
        ->type_name("SECONDS")
        ->default_val(10)
        ->check(CLI::Validator(PollInterval, "", "PollInterval"));
    watchCommand->add_option("--polls", watch.polls, "Stop after N polls")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);

    ExplainOptions explain;
    CLI::App* explainCommand = cli.add_subcommand(
        "explain", "Show why each event of a schedule is deleted, changed or kept; writes nothing");
    AddHomeOption(*explainCommand, givenHome);
    explainCommand->add_option("--format", explain.format, "text (for people) or jsonl")
        ->type_name("FORMAT")
        ->default_val("text")
        ->check(CLI::IsMember({"text", "jsonl"}));
    explainCommand->add_option("SCHEDULE", explain.schedule, "The .DBF or .CSV file")
        ->type_name("FILE")
        ->required()
        ->check([](const std::string& text) {
            return text.empty() ? std::string("needs a schedule file") : std::string();
        });

    try {
        cli.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return cli.exit(help);
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        // The usage of the command that was given, from the same definitions as --help.
        const CLI::App* given = convertCommand->parsed()   ? convertCommand
                                : watchCommand->parsed()   ? watchCommand
                                : explainCommand->parsed() ? explainCommand
                                                           : &cli;
        std::cerr << "skedora-cli: " << error.what() << "\n\n"
                  << given->help(given == &cli ? "" : "skedora-cli") << std::endl;
        return kExitUsage;
    }

    // Without --home the settings folder is made on first use.
    const std::filesystem::path chosenHome = givenHome ? *givenHome : home;
    if (!givenHome) {
        if (const auto error = skedora::EnsureHomeFolder(chosenHome)) {
            std::cerr << skedora::ErrorBoxText(*error) << '\n';
            return kExitFailure;
        }
    }
    convert.home = watch.home = explain.home = chosenHome;
    InstallStopSignals();
    if (convertCommand->parsed()) {
        return RunConvert(convert);
    }
    if (explainCommand->parsed()) {
        return RunExplain(explain);
    }
    return RunWatch(watch);
}
