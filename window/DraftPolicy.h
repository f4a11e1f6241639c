#pragma once

#include "store/Drafts.h"

#include <optional>
#include <vector>

namespace window {

// What the window asks of the draft's slot, gathered while the slot is busy: a later request
// joins the one still waiting, so a slow disk skips the drafts in between.
struct DraftJob
{
    // The answer to a restored draft: the draft is in the note area now, or the person had already
    // begun another note there.
    enum class Answer { None, Taken, NotTaken };

    bool claim = false;
    bool write = false;
    std::optional<store::Draft> draft; // when writing: empty removes the draft
    Answer answer = Answer::None;
    // Whether the write was asked for after the answer was given: a job joined from both keeps
    // their order, which decides what the write means for a restored draft.
    bool writeAfterAnswer = false;

    bool isEmpty() const { return !claim && !write && answer == Answer::None; }
    void join(DraftJob later);
};

// The draft keeper's decisions about its slot, carried out on the calling thread: when a slot is
// taken and whether a waiting draft comes back with it, what an answer to a restored draft does,
// and when a draft is written, removed or left alone. No thread and no widget: DraftKeeper runs
// one on its writing thread.
class DraftPolicy
{
public:
    explicit DraftPolicy(store::DraftFolder folder);

    // What came of a job: a waiting draft taken over (to be offered to the window), and for a
    // write, whether it failed.
    struct Outcome
    {
        std::optional<store::Draft> restored;
        // Waiting drafts the slot's claim left where they are, each with why (unreadable, already
        // stored, another database's): the person is told where they are.
        std::vector<store::StoreError> leftWaiting;
        bool wrote = false;
        std::optional<store::StoreError> failure;
    };
    Outcome carryOut(DraftJob job);
    // The program is done with the slot: with nothing of its own kept in it, the slot goes, lock
    // file and all.
    void finish();

private:
    store::DraftFolder m_folder;
    std::optional<store::DraftSlot> m_slot;
    bool m_draftOnDisk = false;
    // A restored draft the window has not yet answered for: until it has, the slot's draft is
    // another run's note and is neither written over nor removed.
    bool m_restoredUnanswered = false;
};

// A restored draft's title stays with it until the note is saved: the drafts written after it,
// which the note area gives without a title while the save panel is closed, keep that title until
// the person gives the note one in the save panel or the draft goes (the note saved or set aside).
class RestoredTitle
{
public:
    // A draft was offered to the window, and the window's answer.
    void offered(const store::Draft &draft);
    void answered(DraftJob::Answer answer);
    // The draft to write for what the note area holds.
    std::optional<store::Draft> onDraft(std::optional<store::Draft> draft);

private:
    std::optional<QString> m_offered;
    std::optional<QString> m_kept;
};

} // namespace window
