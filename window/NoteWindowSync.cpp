#include "NoteWindow.h"
#include "runtime/Desktop.h"
#include "window/controls/ListView.h"

namespace window {

void NoteWindow::syncRoundDone(const SyncOutcome &outcome)
{
    if (const std::optional<QString> news = m_syncNews.take(outcome))
        m_desktop.tell(this, *news);
    if (outcome.kind != SyncOutcome::Kind::Done)
        return;
    const store::SyncReport &report = outcome.report;
    if (report.added.empty() && report.deleted.empty())
        return;
    // The notes that arrived have the highest IDs: they come last in the list, in the order
    // they arrived. The note being written is never touched.
    m_state.notesDeletedElsewhere(report.deleted);
    reloadListKeepingPlace();
    render();
}

void NoteWindow::reloadListKeepingPlace()
{
    reloadList();
    // The next render filters the list again (where the find panel shows notes found) and
    // highlights the note shown, which a list read anew has lost.
    m_listFilterShown = ListNeedsHighlight;
}

} // namespace window
