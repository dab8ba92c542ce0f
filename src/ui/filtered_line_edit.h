#pragma once

#include <QLineEdit>
#include <optional>

class QKeyEvent;

namespace skedora {

/** What a rule text box lets through of the characters typed into it. */
enum class KeyFilter {
    None,         // any character; the clipboard keys work as usual
    CallLetters,  // A-Z, 0-9 and "-"; a-z typed become A-Z
    Digits,       // 0-9
};

inline constexpr char16_t kBackspaceCharacter = 8;

/**
 * The character a key press types, as the key filters see it: Backspace is character 8,
 * Ctrl with a letter the control character of that letter (Ctrl+C is 3), other keys the first
 * character of their text. None for keys that type nothing (arrows, Home, Delete, F1 ...).
 */
std::optional<char16_t> TypedCharacter(const QKeyEvent& event);

/** Keys that move the focus or answer the dialog; they never reach a key filter. */
bool IsDialogKey(const QKeyEvent& event);

/** The character that reaches the box when character is typed, or none when it is swallowed. */
std::optional<char16_t> FilterKey(KeyFilter filter, char16_t character);

/**
 * A rule text box: a line edit whose typed characters go through a key filter, with a limit on
 * the length of what can be typed. Backspace and the keys that type no character (arrows,
 * Home, End, Delete) work as usual.
 */
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT

  public:
    FilteredLineEdit(KeyFilter filter, int maxLength, QWidget* parent = nullptr);

    /**
     * Shows a text as held in the rules. The limit is on typing only: a longer text is shown
     * whole, not cut, so that storing it back does not lose its end.
     */
    void showText(const QString& text);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    KeyFilter m_filter;
    int m_limit;
};

}  // namespace skedora
