// skedora: the Skedora Converter's window.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/home_folder.h"
#include "ui/file_path_text.h"
#include "ui/main_window.h"

namespace {

QString VersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(SKEDORA_VERSION_MAJOR)
        .arg(SKEDORA_VERSION_MINOR)
        .arg(SKEDORA_VERSION_REVISION);
}

/** The settings folder for the command line: --home when given, else the usual places. */
std::filesystem::path HomeFor(const QCommandLineParser& parser, const QCommandLineOption& home) {
    std::optional<std::filesystem::path> explicitHome;
    if (parser.isSet(home)) {
        explicitHome = skedora::PathBytesFromText(parser.value(home));
    }
    return skedora::ResolveHomeFolder(explicitHome, skedora::ProgramFolder(),
                                      std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Skedora Converter."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Displays this help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Displays the version."));
    const QCommandLineOption homeOption(
        QStringLiteral("home"),
        QStringLiteral(
            "The folder of SK.ini and FileList.txt (default: the program's folder when it "
            "holds SK.ini or SKCONV.INI, else $XDG_CONFIG_HOME/skedora, or "
            "~/.config/skedora)."),
        QStringLiteral("DIR"));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(homeOption);
    // Help and version are answered before the window system is opened, so they work without a
    // screen; the rest is parsed once Qt has taken out its own options (-platform, -style, ...).
    if (parser.parse(arguments) && parser.isSet(helpOption)) {
        const std::string home = HomeFor(parser, homeOption).string();
        std::printf("Usage: skedora [--home DIR]\n%s\nSettings folder: %s\n",
                    qPrintable(parser.helpText().section(QLatin1Char('\n'), 1)),
                    home.empty() ? "none (neither XDG_CONFIG_HOME nor HOME is set; give --home DIR)"
                                 : home.c_str());
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("skedora %s\n", qPrintable(VersionText()));
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("skedora"));
    QApplication::setApplicationVersion(VersionText());
    const bool parsed = parser.parse(QApplication::arguments());
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "skedora: %s\nUsage: skedora [--home DIR]\n",
                     parsed ? "unexpected argument" : qPrintable(parser.errorText()));
        return 2;
    }

    if (parser.isSet(homeOption) && !QFileInfo(parser.value(homeOption)).isDir()) {
        std::fprintf(stderr, "skedora: --home: %s is not a folder\n",
                     skedora::PathBytesFromText(parser.value(homeOption)).c_str());
        return 2;
    }
    const std::filesystem::path home = HomeFor(parser, homeOption);
    // The first start of an installed program makes the user's settings folder; a window started
    // from the menu has no terminal, so a failure is shown in a box as well.
    if (const skedora::MaybeError error = skedora::EnsureHomeFolder(home)) {
        std::fprintf(stderr, "skedora: %s\n", error->description.c_str());
        QMessageBox::critical(nullptr, QStringLiteral("Skedora Converter"),
                              skedora::PathTextFromBytes(skedora::ErrorBoxText(*error)));
        return 1;
    }

    std::error_code ec;
    const std::filesystem::path absoluteHome = std::filesystem::absolute(home, ec);
    skedora::MainWindow window(ec ? home : absoluteHome);
    window.show();
    return QApplication::exec();
}
