#pragma once

#include <QString>

class QWidget;

namespace runtime {

// The answers of the modal question, with the values the logic compares against.
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Asks a modal Yes/No question ("Ja"/"Nej") without an icon, Yes being the default button, and
// returns vbYes or vbNo. Closing the box without a choice counts as No.
int askYesNo(QWidget *parent, const QString &prompt, const QString &title);

// Tests answer the next question before it is asked: the answer is returned at once and no box
// is shown. Each answer set is used once.
void setNextAnswer(int answer);

} // namespace runtime
