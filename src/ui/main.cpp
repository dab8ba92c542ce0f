// skedora: the Skedora Converter's window.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "ui/file_path_text.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("skedora"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(SKEDORA_VERSION_MAJOR)
                                            .arg(SKEDORA_VERSION_MINOR)
                                            .arg(SKEDORA_VERSION_REVISION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Skedora Converter."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption homeOption(
        QStringLiteral("home"),
        QStringLiteral("The folder of SK.ini and FileList.txt (default: the program's folder)."),
        QStringLiteral("DIR"));
    parser.addOption(homeOption);
    parser.process(app);

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
