#pragma once

#include "NoteStore.h"

#include <future>

namespace store {

// Runs notes.check() on a thread of its own and hands back its outcome. The program starts its
// database check this way so that loading SQLite and reading the file's schema happen while it
// builds its window, not before. Where no thread is to be had, the check runs at once.
std::future<Result<Done>> checkAhead(const NoteStore &notes);

} // namespace store
