#include "CheckBox.h"

namespace window {

CheckBox::CheckBox(QWidget *parent)
    : QCheckBox(parent)
    , runtime::TwipsControl(this)
{}

int CheckBox::Value() const
{
    switch (checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void CheckBox::setValue(int value)
{
    switch (value) {
    case 0:
        setCheckState(Qt::Unchecked);
        break;
    case 2:
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
        break;
    default:
        setCheckState(Qt::Checked);
        break;
    }
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

} // namespace window
