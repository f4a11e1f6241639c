#pragma once

#include "NoteStore.h"

#include <future>

namespace store {

// The checks of a database before it is used, run on a thread of its own: the program starts
// them so that loading SQLite and reading the file happen while it builds and shows its window,
// not before. Where no thread is to be had, they run at once.
struct CheckedAhead
{
    // notes.check(): the table, from the schema; awaited before the window appears.
    std::future<Result<Done>> table;
    // notes.checkPages(), run after the table check: every page of the file, whose reading grows
    // with the file; awaited before the note list is first read, after the first frame.
    std::future<Result<Done>> pages;
};
CheckedAhead checkAhead(const NoteStore &notes);

} // namespace store
