#include "ui/auto_load_dialog.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>

#include "model/folder_text.h"
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
}  // namespace

AutoLoadDialog::AutoLoadDialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : SettingsDialog(rules, std::move(save), parent) {
    setObjectName(QStringLiteral("frmSetAutoLoad"));
    setWindowTitle(QStringLiteral("Skedora Auto Load Settings"));

    auto* watch = Named(new QGroupBox(QStringLiteral("Watch Folder Path"), this), "Frame1");
    m_path = FolderBox("txtPath", watch);
    m_dbf = Named(new QCheckBox(QStringLiteral("DBF Format"), watch), "chkDBF");
    m_csv = Named(new QCheckBox(QStringLiteral("CSV Format"), watch), "chkCSV");
    m_delete =
        Named(new QCheckBox(QStringLiteral("Delete source file after being converted"), watch),
              "chkDelete");
    auto* formats = new QHBoxLayout;
    formats->addWidget(m_dbf);
    formats->addWidget(m_csv);
    formats->addStretch();
    auto* watchLayout = new QVBoxLayout(watch);
    watchLayout->addWidget(m_path);
    watchLayout->addLayout(formats);
    watchLayout->addWidget(m_delete);

    auto* output = Named(new QGroupBox(QStringLiteral("Output Folder Path"), this), "Frame2");
    m_outPath = FolderBox("txtOutPath", output);
    m_prefix = Named(new QCheckBox(QStringLiteral("Prefix Date To Output File Name"), output),
                     "chkPrefix");
    auto* outputLayout = new QVBoxLayout(output);
    outputLayout->addWidget(m_outPath);
    outputLayout->addWidget(m_prefix);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(watch);
    layout->addWidget(output);
    layout->addLayout(buttonRow("cmdOk", QStringLiteral("Apply And Save"), "cmdCancel"));

    const AutoLoadSettingsGroup& held = this->rules().AutoLoadSettings;
    m_path->setText(PathTextFromBytes(held.Path));
    m_outPath->setText(PathTextFromBytes(held.OutPath));
    m_dbf->setChecked(held.DBF);
    m_csv->setChecked(held.CSV);
    m_delete->setChecked(held.Delete);
    m_prefix->setChecked(held.PrefixDate);
}

void AutoLoadDialog::storeRules() {
    AutoLoadSettingsGroup& settings = rules().AutoLoadSettings;
    settings.Path = FolderText(FolderBytes(*m_path, settings.Path));
    settings.OutPath = FolderText(FolderBytes(*m_outPath, settings.OutPath));
    settings.DBF = m_dbf->isChecked();
    settings.CSV = m_csv->isChecked();
    settings.Delete = m_delete->isChecked();
    settings.PrefixDate = m_prefix->isChecked();
}

}  // namespace skedora
