#include "ui/auto_load_dialog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "model/folder_text.h"
#include "model/text.h"
#include "ui/file_path_text.h"
#include "ui/rule_tabs.h"

namespace skedora {

namespace {
template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

QLineEdit* FolderBox(const char* name, QWidget* parent) {
    auto* box = Named(new QLineEdit(parent), name);
    box->setMinimumWidth(TextWidth(*box, 48));
    return box;
}

// Folders are file-system names (UTF-8 here). A folder shown unchanged keeps its exact bytes,
// also when they are not valid UTF-8 (an older settings file).
std::string FolderBytes(const QLineEdit& box, const std::string& shown) {
    return box.text() == PathTextFromBytes(shown) ? shown : PathBytesFromText(box.text());
}

std::optional<QString> ChooseFolderByDialog(QWidget* parent, const QString& caption,
                                            const QString& start) {
    const QString chosen =
        QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

/** A warning sign and a reason, hidden while there is nothing to warn of. */
QWidget* WarningRow(const char* name, QLabel*& text, QWidget* parent) {
    auto* row = Named(new QWidget(parent), name);
    auto* icon = new QLabel(row);
    const int size = row->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(row->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    text = new QLabel(row);
    text->setObjectName(QStringLiteral("%1Text").arg(QLatin1String(name)));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    row->hide();
    return row;
}
}  // namespace

std::optional<QString> FolderProblem(std::string_view folder) {
    const std::string path(TrimSpaces(folder));
    if (path.empty()) {
        return QStringLiteral("No folder is given.");
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return QStringLiteral("This folder does not exist or cannot be reached.");
    }
    if (!S_ISDIR(status.st_mode)) {
        return QStringLiteral("This is a file, not a folder.");
    }
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | X_OK, AT_EACCESS) != 0) {
        return QStringLiteral("This program may not read this folder.");
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return QStringLiteral("This program may not write to this folder.");
    }
    return std::nullopt;
}

AutoLoadDialog::AutoLoadDialog(RuleSet& rules, SaveRules save, QWidget* parent,
                               ChooseFolder chooseFolder)
    : SettingsDialog(rules, std::move(save), parent),
      m_chooseFolder(chooseFolder ? std::move(chooseFolder) : ChooseFolderByDialog),
      m_shownPath(rules.AutoLoadSettings.Path),
      m_shownOutPath(rules.AutoLoadSettings.OutPath) {
    setObjectName(QStringLiteral("frmSetAutoLoad"));
    setWindowTitle(QStringLiteral("Skedora Auto Load Settings"));

    // The access key of a group's title moves the focus into its folder box.
    auto* watch = Named(new QGroupBox(QStringLiteral("&Watch Folder Path"), this), "Frame1");
    m_path = FolderBox("txtPath", watch);
    auto* browsePath = Named(new QPushButton(QStringLiteral("&Browse..."), watch), "cmdBrowsePath");
    QWidget* pathWarning = WarningRow("warnPath", m_pathWarning, watch);
    m_dbf = Named(new QCheckBox(QStringLiteral("&DBF Format"), watch), "chkDBF");
    m_csv = Named(new QCheckBox(QStringLiteral("CS&V Format"), watch), "chkCSV");
    m_delete =
        Named(new QCheckBox(QStringLiteral("De&lete source file after being converted"), watch),
              "chkDelete");
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(browsePath);
    auto* formats = new QHBoxLayout;
    formats->addWidget(m_dbf);
    formats->addWidget(m_csv);
    formats->addStretch();
    auto* watchLayout = new QVBoxLayout(watch);
    watchLayout->addLayout(pathRow);
    watchLayout->addWidget(pathWarning);
    watchLayout->addLayout(formats);
    watchLayout->addWidget(m_delete);

    auto* output = Named(new QGroupBox(QStringLiteral("&Output Folder Path"), this), "Frame2");
    m_outPath = FolderBox("txtOutPath", output);
    auto* browseOutPath =
        Named(new QPushButton(QStringLiteral("B&rowse..."), output), "cmdBrowseOutPath");
    QWidget* outPathWarning = WarningRow("warnOutPath", m_outPathWarning, output);
    m_prefix = Named(new QCheckBox(QStringLiteral("&Prefix Date To Output File Name"), output),
                     "chkPrefix");
    auto* outPathRow = new QHBoxLayout;
    outPathRow->addWidget(m_outPath, 1);
    outPathRow->addWidget(browseOutPath);
    auto* outputLayout = new QVBoxLayout(output);
    outputLayout->addLayout(outPathRow);
    outputLayout->addWidget(outPathWarning);
    outputLayout->addWidget(m_prefix);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(watch);
    layout->addWidget(output);
    layout->addStretch();
    layout->addLayout(buttonRow("cmdOk", QStringLiteral("&Apply And Save"), "cmdCancel"));

    connect(m_path, &QLineEdit::textChanged, this,
            [this] { checkFolder(*m_path, m_shownPath, *m_pathWarning); });
    connect(m_outPath, &QLineEdit::textChanged, this,
            [this] { checkFolder(*m_outPath, m_shownOutPath, *m_outPathWarning); });
    connect(browsePath, &QPushButton::clicked, this,
            [this] { browse(*m_path, QStringLiteral("Watch Folder")); });
    connect(browseOutPath, &QPushButton::clicked, this,
            [this] { browse(*m_outPath, QStringLiteral("Output Folder")); });

    const AutoLoadSettingsGroup& held = rules.AutoLoadSettings;
    m_path->setText(PathTextFromBytes(held.Path));
    m_outPath->setText(PathTextFromBytes(held.OutPath));
    m_dbf->setChecked(held.DBF);
    m_csv->setChecked(held.CSV);
    m_delete->setChecked(held.Delete);
    m_prefix->setChecked(held.PrefixDate);
    checkFolder(*m_path, m_shownPath, *m_pathWarning);
    checkFolder(*m_outPath, m_shownOutPath, *m_outPathWarning);
    rememberFilledRules();
}

void AutoLoadDialog::checkFolder(const QLineEdit& box, const std::string& shown,
                                 QLabel& warning) const {
    const std::optional<QString> problem = FolderProblem(FolderBytes(box, shown));
    warning.setText(problem.value_or(QString()));
    warning.parentWidget()->setVisible(problem.has_value());
}

void AutoLoadDialog::browse(QLineEdit& box, const QString& caption) {
    const QString typed = box.text().trimmed();
    const QString start = !typed.isEmpty() && QDir(typed).exists() ? typed : QDir::homePath();
    if (const std::optional<QString> chosen = m_chooseFolder(this, caption, start)) {
        box.setText(QDir::toNativeSeparators(*chosen));
        box.setFocus();
    }
}

void AutoLoadDialog::storeRules(RuleSet& target) const {
    AutoLoadSettingsGroup& settings = target.AutoLoadSettings;
    settings.Path = FolderText(FolderBytes(*m_path, m_shownPath));
    settings.OutPath = FolderText(FolderBytes(*m_outPath, m_shownOutPath));
    settings.DBF = m_dbf->isChecked();
    settings.CSV = m_csv->isChecked();
    settings.Delete = m_delete->isChecked();
    settings.PrefixDate = m_prefix->isChecked();
}

}  // namespace skedora
