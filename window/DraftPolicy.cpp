#include "DraftPolicy.h"

namespace window {

void DraftJob::join(DraftJob later)
{
    claim = claim || later.claim;
    if (later.write) {
        write = true;
        draft = std::move(later.draft);
        writeAfterAnswer = answer != Answer::None;
    }
    if (later.answer != Answer::None) {
        answer = later.answer;
        writeAfterAnswer = later.writeAfterAnswer;
    }
}

DraftPolicy::DraftPolicy(store::DraftFolder folder)
    : m_folder(std::move(folder))
{}

DraftPolicy::Outcome DraftPolicy::carryOut(DraftJob job)
{
    Outcome outcome;
    if (job.claim && !m_slot) {
        // A draft to write already is the person's; a draft left waiting is not taken over then,
        // so that it is never written over. An empty note area has none: a waiting draft comes
        // back, and the removal asked for before it came has nothing to remove.
        const auto restore = job.write && job.draft ? store::DraftSlot::Restore::None
                                                    : store::DraftSlot::Restore::Waiting;
        store::Result<store::DraftSlot> slot = store::DraftSlot::claim(m_folder, restore);
        // A folder that cannot be used is told when there is a draft to write.
        if (slot) {
            m_slot = std::move(*slot);
            outcome.leftWaiting = m_slot->passedOver();
            if (m_slot->restored()) {
                m_draftOnDisk = true;
                m_restoredUnanswered = true;
                outcome.restored = m_slot->restored();
            }
        }
    }
    // A draft to write before the answer came means the person is writing another note: the
    // restored one cannot have been taken. An empty note area then has nothing of this
    // program's own on disk to remove. A write asked for after the answer follows it.
    if (m_restoredUnanswered && job.write && !job.writeAfterAnswer) {
        if (job.draft)
            job.answer = DraftJob::Answer::NotTaken;
        else
            job.write = false;
    }
    if (m_restoredUnanswered && job.answer != DraftJob::Answer::None) {
        m_restoredUnanswered = false;
        if (job.answer == DraftJob::Answer::NotTaken) {
            // Let go with the draft left in place, waiting; a new slot is taken when there is a
            // draft of this program's own to write.
            m_slot.reset();
            m_draftOnDisk = false;
        }
    }
    if (!job.write || (!job.draft && !m_draftOnDisk))
        return outcome;
    outcome.wrote = true;
    if (!m_slot) {
        // The folder could not be used at the start; it may be usable now.
        store::Result<store::DraftSlot> slot
            = store::DraftSlot::claim(m_folder, store::DraftSlot::Restore::None);
        if (!slot) {
            outcome.failure = slot.error();
            return outcome;
        }
        m_slot = std::move(*slot);
    }
    const store::Result<store::Done> written
        = job.draft ? m_slot->write(*job.draft) : m_slot->remove();
    if (!written)
        outcome.failure = written.error();
    else
        m_draftOnDisk = job.draft.has_value();
    return outcome;
}

void DraftPolicy::finish()
{
    if (m_slot && !m_draftOnDisk)
        m_slot->release();
}

void RestoredTitle::offered(const store::Draft &draft)
{
    m_offered = draft.title;
}

void RestoredTitle::answered(DraftJob::Answer answer)
{
    if (answer == DraftJob::Answer::Taken)
        m_kept = m_offered;
    m_offered.reset();
}

std::optional<store::Draft> RestoredTitle::onDraft(std::optional<store::Draft> draft)
{
    if (!draft || draft->title)
        m_kept.reset();
    else if (m_kept)
        draft->title = m_kept;
    return draft;
}

} // namespace window
