#pragma once

#include "runtime/TwipsControl.h"

#include <QLineEdit>
#include <QPlainTextEdit>

class QTimer;

namespace window {

// A single-line text box.
class TextBox : public QLineEdit, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent);

    // Flat: a one-pixel border in this colour instead of the style's sunken frame.
    void setFlatBorder(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_flatBorder;
};

// A multi-line text box with both scroll bars and no line wrapping: the only line breaks are
// those typed or stored. Reports mouse moves over its text and its scroll bars.
//
// Text reads back exactly what the program set until the user changes it: the box itself shows
// every kind of line break (CR LF, CR, LF) as a plain break. A long text shows its beginning at
// once and the rest follows in pieces from the event loop, so that a note of many megabytes
// appears without delay and the window stays responsive while it loads.
class MultiLineTextBox : public QPlainTextEdit, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget *parent);

    // The text, exactly as set until the user changes it.
    QString text() const { return m_exact ? m_value : toPlainText(); }
    void setText(const QString &value);
    // Locked: read-only, the text selectable but not changed.
    bool isLocked() const { return isReadOnly(); }
    void setLocked(bool locked);

    // Whether part of a long text is still to be shown.
    bool isLoading() const { return m_shownUpTo < m_value.size(); }
    // Shows the rest of a long text at once.
    void finishLoading();

Q_SIGNALS:
    void pointerMoved();

private:
    void showNextPiece(qsizetype maxChars);
    void onContentsChanged();

    QString m_value;     // the text as the program set it
    bool m_exact = true; // no change by the user since
    qsizetype m_shownUpTo = 0;
    bool m_programChange = false;
    QTimer *m_loader;
};

} // namespace window
