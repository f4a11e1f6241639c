#include "NoteFinder.h"
#include "NoteWindow.h"
#include "runtime/SystemColor.h"
#include "store/SearchText.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>

namespace window {

namespace {

QString countText(std::size_t count)
{
    if (count == 0)
        return QStringLiteral("Inga anteckningar");
    if (count == 1)
        return QStringLiteral("1 anteckning");
    return QStringLiteral("%1 anteckningar").arg(count);
}

} // namespace

void NoteWindow::findTyped(const QString &text)
{
    // The search runs on the finder's thread; its answer is drawn when it comes.
    if (m_state.findTyped(text))
        m_finder->find(text);
    render();
}

void NoteWindow::notesFound(const QString &typed, const std::vector<qint64> &ids)
{
    if (!m_state.notesFound(typed, ids))
        return;
    render();
    // The search reads the notes as they are now, the list as they were when it was read: a note
    // that another program saved since is found but not listed. The list is read anew, and the
    // notes found are shown in it.
    if (std::size_t(m_ui.noteList->itemCount()) < ids.size()) {
        reloadListKeepingPlace();
        render();
    }
}

void NoteWindow::searchFailed(const store::StoreError &error)
{
    if (m_state.searchFailed())
        reportStoreError(error);
}

void NoteWindow::showFirstFound()
{
    if (!m_state.listFilter() || m_ui.noteList->itemCount() == 0)
        return;
    // As Down in the list: a note being written stays, and only the highlight moves.
    m_ui.noteList->setCurrentIndex(m_ui.noteList->model()->index(0, 0));
    highlightMoved(m_ui.noteList->itemId(0));
}

void NoteWindow::renderFind()
{
    if (m_ui.findEdit->text() != m_state.findText())
        m_ui.findEdit->setText(m_state.findText());
    const std::vector<qint64> *found = m_state.listFilter();
    const int version = found ? m_state.foundVersion() : -1;
    if (version != m_listFilterShown) {
        m_listFilterShown = version;
        const std::optional<store::Note> &shown = m_state.shownNote();
        m_ui.noteList->showOnly(found, shown ? shown->id : 0);
    }
    // Counted from the list, which may lack a note found that was deleted elsewhere since.
    m_ui.findCount->setText(found ? countText(std::size_t(m_ui.noteList->itemCount())) : QString());
}

void NoteWindow::markHits()
{
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_state.markedWords().isEmpty()) {
        // The places are the document's, whose line breaks are one character each.
        m_ui.noteText->finishLoading();
        const std::vector<store::TextSpan> hits
            = store::SearchQuery(m_state.markedWords()).hitsIn(m_ui.noteText->toPlainText());
        QTextCharFormat look;
        look.setBackground(runtime::systemColor(runtime::SystemColor::ActiveTitleBar));
        look.setForeground(runtime::systemColor(runtime::SystemColor::TitleBarText));
        for (const store::TextSpan &hit : hits) {
            QTextCursor place(m_ui.noteText->document());
            place.setPosition(int(hit.start));
            place.setPosition(int(hit.start + hit.length), QTextCursor::KeepAnchor);
            marks.append({place, look});
        }
        if (!hits.empty()) {
            QTextCursor first(m_ui.noteText->document());
            first.setPosition(int(hits.front().start));
            m_ui.noteText->setTextCursor(first);
            m_ui.noteText->ensureCursorVisible();
        }
    }
    m_ui.noteText->setExtraSelections(marks);
}

} // namespace window
