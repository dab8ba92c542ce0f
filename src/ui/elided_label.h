#pragma once

#include <QLabel>

namespace skedora {

/**
 * A one-line plain-text label that never widens its window: a text longer than the label is
 * drawn shortened with "…", and the full text shows as a tooltip while it is shortened.
 * text() stays the full text.
 */
class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideRight, QWidget* parent = nullptr);

    /** The text as drawn at the label's present width. */
    QString ShownText() const;
    bool IsElided() const { return ShownText() != text(); }

    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect TextArea() const;

    Qt::TextElideMode m_mode;
};

}  // namespace skedora
