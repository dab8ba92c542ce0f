// skedora: the Skedora Converter's window.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "ui/file_path_text.h"
#include "ui/main_window.h"

namespace {

QString VersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(SKEDORA_VERSION_MAJOR)
        .arg(SKEDORA_VERSION_MINOR)
        .arg(SKEDORA_VERSION_REVISION);
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
        QStringLiteral("The folder of SK.ini and FileList.txt (default: the program's folder)."),
        QStringLiteral("DIR"));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(homeOption);
    // Help and version are answered before the window system is opened, so they work without a
    // screen; the rest is parsed once Qt has taken out its own options (-platform, -style, ...).
    if (parser.parse(arguments) && parser.isSet(helpOption)) {
        std::printf("Usage: skedora [--home DIR]\n%s",
                    qPrintable(parser.helpText().section(QLatin1Char('\n'), 1)));
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

    QString home = QCoreApplication::applicationDirPath();
    if (parser.isSet(homeOption)) {
        home = parser.value(homeOption);
        if (!QFileInfo(home).isDir()) {
            std::fprintf(stderr, "skedora: --home: %s is not a folder\n",
                         skedora::PathBytesFromText(home).c_str());
            return 2;
        }
    }

    skedora::MainWindow window(skedora::PathBytesFromText(QDir(home).absolutePath()));
    window.show();
    return QApplication::exec();
}
