#include "MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <optional>

namespace runtime {

namespace {
std::optional<QMessageBox::StandardButton> &nextAnswer()
{
    static std::optional<QMessageBox::StandardButton> answer;
    return answer;
}
} // namespace

QMessageBox::StandardButton askYesNo(QWidget *parent, const QString &prompt, const QString &title)
{
    if (nextAnswer()) {
        const QMessageBox::StandardButton answer = *nextAnswer();
        nextAnswer().reset();
        return answer;
    }
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    // The window stays above all others, so its question must too.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    return box.clickedButton() == yes ? QMessageBox::Yes : QMessageBox::No;
}

void setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswer() = answer;
}

} // namespace runtime
