#include "ui/filtered_line_edit.h"

#include <QKeyEvent>
#include <algorithm>

namespace skedora {

std::optional<char16_t> TypedCharacter(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Backspace) {
        return kBackspaceCharacter;
    }
    if (key == Qt::Key_Delete) {
        return std::nullopt;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier) &&
        key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<char16_t>(key - Qt::Key_A + 1);
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text.at(0).unicode();
}

bool IsDialogKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        default:
            return false;
    }
}

std::optional<char16_t> FilterKey(KeyFilter filter, char16_t character) {
    const bool digit = character >= u'0' && character <= u'9';
    switch (filter) {
        case KeyFilter::None:
            return character;
        case KeyFilter::Digits:
            if (digit || character == kBackspaceCharacter) {
                return character;
            }
            return std::nullopt;
        case KeyFilter::CallLetters:
            if (digit || character == kBackspaceCharacter || character == u'-' ||
                (character >= u'A' && character <= u'Z')) {
                return character;
            }
            if (character >= u'a' && character <= u'z') {
                return static_cast<char16_t>(character - u'a' + u'A');
            }
            return std::nullopt;
    }
    return std::nullopt;
}

FilteredLineEdit::FilteredLineEdit(KeyFilter filter, int maxLength, QWidget* parent)
    : QLineEdit(parent), m_filter(filter), m_limit(maxLength) {
    setMaxLength(maxLength);
    if (filter != KeyFilter::None) {
        // Text from an input method would not pass through the key filter.
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

void FilteredLineEdit::showText(const QString& text) {
    setMaxLength(std::max(m_limit, static_cast<int>(text.size())));
    setText(text);
}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<char16_t> typed = TypedCharacter(*event);
    // Select All changes no text, so it is no typed character for the filter.
    if (m_filter == KeyFilter::None || IsDialogKey(*event) || !typed ||
        *typed == kBackspaceCharacter || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) {
        event->ignore();  // a shortcut of the window, not typing
        return;
    }
    if (const std::optional<char16_t> passed = FilterKey(m_filter, *typed)) {
        insert(QString(QChar(*passed)));
    }
    event->accept();
}

}  // namespace skedora
