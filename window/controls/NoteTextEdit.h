#pragma once

#include <QPlainTextEdit>
#include <functional>

class QTimer;

namespace window {

// The note text: several lines with both scroll bars and no wrapping, so the only line breaks are
// those typed or stored. Reports every move of the pointer over its text and its scroll bars.
//
// Its text reads back exactly what the program set until the person changes it, and then every
// character set, typed or pasted as it was: a no-break space, a line separator U+2028, the
// noncharacters U+FDD0 and U+FDD1 and the line breaks CR LF and CR included. A line break made in
// the box (Enter) reads back as a line feed, and so does a paragraph separator U+2029, which is
// the box's own line break. A long text shows its beginning at once and the rest follows in pieces
// from the event loop, so that a note of many megabytes appears without delay and the window
// stays responsive while it loads; it can be written in once it is whole. The conversion itself is
// in ExactText.h.
class NoteTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit NoteTextEdit(QWidget *parent);

    // The text, exactly as set until the user changes it.
    QString text() const { return m_exact ? m_value : typedText(); }
    // The same text, read a piece at a time from the event loop, so that reading a long text
    // never holds up the keys typed meanwhile; `then` gets it once it is read. A change to the text
    // before then drops the reading (and a later call drops an earlier one): `then` is not called.
    void readText(std::function<void(const QString &)> then);
    void setText(const QString &value);
    // Locked: read-only, the text selectable but not changed. Unlocked, the person can write in
    // it as soon as all of its text is shown.
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);

    // Whether part of a long text is still to be shown.
    bool isLoading() const { return m_shownUpTo < m_value.size(); }
    // Shows the rest of a long text at once, for what needs the whole document.
    void finishLoading();

Q_SIGNALS:
    void pointerMoved();

protected:
    void insertFromMimeData(const QMimeData *source) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString typedText() const;
    void readNextPiece();
    void showNextPiece(qsizetype maxChars);
    void onContentsChanged();
    void applyLock();

    QString m_value;     // the text as the program set it
    bool m_exact = true; // no change by the person since
    qsizetype m_shownUpTo = 0;
    bool m_programChange = false;
    bool m_locked = false;
    // Whether a character of the document stands in for one it does not keep as it is.
    bool m_hasStandIns = false;
    QTimer *m_loader;
    // A reading in pieces: what is read so far, up to where, of which revision of the text.
    QTimer *m_reader;
    QString m_read;
    int m_readUpTo = 0;
    int m_readRevision = 0;
    std::function<void(const QString &)> m_readThen;
};

} // namespace window
