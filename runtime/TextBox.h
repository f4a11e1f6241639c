#pragma once

#include "TwipsControl.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace runtime {

// A single-line text box. Locked means read-only: the text can be selected but not changed.
class TextBox : public QLineEdit, public TwipsControl
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent);

    QString Text() const { return text(); }
    void setTextValue(const QString &value) { setText(value); }
    bool Locked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }
    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    bool Visible() const { return !isHidden(); }

    // Flat: a one-pixel border in this colour instead of the style's sunken frame.
    void setFlatBorder(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_flatBorder;
};

// A multi-line text box with both scroll bars and no line wrapping: the only line breaks are
// those typed or stored. Reports mouse moves over its text and its scroll bars.
class MultiLineTextBox : public QPlainTextEdit, public TwipsControl
{
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget *parent);

    QString Text() const { return toPlainText(); }
    void setTextValue(const QString &value) { setPlainText(value); }
    bool Locked() const { return isReadOnly(); }
    void setLocked(bool locked);
    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    bool Visible() const { return !isHidden(); }

Q_SIGNALS:
    void MouseMove();
};

} // namespace runtime
