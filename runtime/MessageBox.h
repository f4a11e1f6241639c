#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace runtime {

// Asks a modal Yes/No question ("Ja"/"Nej") without an icon, Yes being the default button, and
// returns QMessageBox::Yes or QMessageBox::No. Closing the box without a choice counts as No.
QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &prompt, const QString &title);

// Tests answer the next question before it is asked: the answer is returned at once and no box
// is shown. Each answer set is used once.
void setNextAnswer(QMessageBox::StandardButton answer);

} // namespace runtime
