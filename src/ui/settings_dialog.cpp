#include "ui/settings_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "model/text.h"
#include "ui/byte_text.h"

namespace skedora {

namespace {
bool IsWithin(const QWidget* widget, const QWidget* ancestor) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (widget == ancestor) {
            return true;
        }
    }
    return false;
}
}  // namespace

std::string BoxBytes(const QLineEdit& box) {
    return BytesFromText(box.text());
}

std::string TrimmedBoxBytes(const QLineEdit& box) {
    return std::string(TrimSpaces(BoxBytes(box)));
}

SettingsDialog::SettingsDialog(RuleSet& rules, SaveRules save, QWidget* parent)
    : QDialog(parent), m_rules(rules), m_save(std::move(save)), m_filled(rules) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // Coming back to the program from another one by a click on the main window deactivates
    // nothing here (the dialog already lost the activation), so the focus change is watched too.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (window != nullptr) {
            QTimer::singleShot(0, this, &SettingsDialog::closeIfAnotherWindowIsActive);
        }
    });
}

void SettingsDialog::rememberFilledRules() {
    storeRules(m_filled);
}

RuleSet SettingsDialog::StoredRules() const {
    // Based on the filled copy, so that rules another dialog saved meanwhile are no edit here.
    RuleSet stored = m_filled;
    storeRules(stored);
    return stored;
}

bool SettingsDialog::HasUnsavedEdits() const {
    return StoredRules() != m_filled;
}

QBoxLayout* SettingsDialog::buttonRow(const char* applyName, const QString& applyCaption,
                                      const char* cancelName) {
    auto* apply = new QPushButton(applyCaption, this);
    apply->setObjectName(QLatin1String(applyName));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QLatin1String(cancelName));
    // Enter in a text box must not apply by accident.
    apply->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(apply, &QPushButton::clicked, this, [this] {
        if (ApplyAndSave()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &SettingsDialog::Discard);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(apply);
    row->addWidget(cancel);
    return row;
}

void SettingsDialog::Discard() {
    QDialog::reject();
}

void SettingsDialog::reject() {
    if (ConfirmClose()) {
        QDialog::reject();
    }
}

bool SettingsDialog::ConfirmClose() {
    if (m_busy) {
        return false;
    }
    if (!HasUnsavedEdits()) {
        return true;
    }
    m_busy = true;
    QMessageBox question(QMessageBox::Question, windowTitle(),
                         QStringLiteral("Save changes to %1?").arg(windowTitle()),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("msgSaveChanges"));
    question.setInformativeText(
        QStringLiteral("Discard throws the edits away; Cancel goes back to them."));
    question.setDefaultButton(QMessageBox::Save);
    question.setEscapeButton(QMessageBox::Cancel);
    const int answer = question.exec();
    m_busy = false;
    switch (answer) {
        case QMessageBox::Save:
            return ApplyAndSave();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void SettingsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) {
        return;
    }
    if (isActiveWindow()) {
        m_wasActive = true;
    } else {
        // Decided once the activation has settled on its new window.
        QTimer::singleShot(0, this, &SettingsDialog::closeIfAnotherWindowIsActive);
    }
}

void SettingsDialog::closeIfAnotherWindowIsActive() {
    if (!m_wasActive || m_busy || !isVisible()) {
        return;
    }
    const QWidget* active = QApplication::activeWindow();
    // No active window: the user went to another program; the dialog waits for the return.
    if (active == nullptr || IsWithin(active, this)) {
        return;
    }
    // Typed work is never thrown away by a click elsewhere: with edits the dialog stays open.
    if (!HasUnsavedEdits()) {
        Discard();
    }
}

bool SettingsDialog::ApplyAndSave() {
    storeRules(m_rules);
    const MaybeError error = m_save ? m_save() : std::nullopt;
    if (!error) {
        m_filled = StoredRules();
        return true;
    }
    m_busy = true;
    QMessageBox::critical(this, QStringLiteral("Error."),
                          QStringLiteral("The rules were not saved to SK.ini.\n\n%1\n\n"
                                         "They are in use until the program ends.")
                              .arg(TextFromBytes(error->description)));
    m_busy = false;
    return false;
}

}  // namespace skedora
