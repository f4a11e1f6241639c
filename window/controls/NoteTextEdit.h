#pragma once

#include <QPlainTextEdit>

class QTimer;

namespace window {

// The note text: several lines with both scroll bars and no wrapping, so the only line breaks are
// those typed or stored. Reports every move of the pointer over its text and its scroll bars.
//
// Its text reads back exactly what the program set until the user changes it: the box itself shows
// every kind of line break (CR LF, CR, LF) as a plain break. Once changed, it reads back every
// character typed or pasted as it is (a no-break space, a line separator U+2028, the
// noncharacters U+FDD0 and U+FDD1 included), every line break the box holds as a line feed; a
// paragraph separator U+2029 is a line break to the box, so it reads back as a line feed too. A
// long text shows its beginning at once and the rest follows in pieces from the event loop, so
// that a note of many megabytes appears without delay and the window stays responsive while it
// loads.
class NoteTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit NoteTextEdit(QWidget *parent);

    // The text, exactly as set until the user changes it.
    QString text() const { return m_exact ? m_value : typedText(); }
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

protected:
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString typedText() const;
    void showNextPiece(qsizetype maxChars);
    void onContentsChanged();

    QString m_value;     // the text as the program set it
    bool m_exact = true; // no change by the user since
    qsizetype m_shownUpTo = 0;
    bool m_programChange = false;
    QTimer *m_loader;
};

} // namespace window
