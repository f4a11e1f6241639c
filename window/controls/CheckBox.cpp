#include "CheckBox.h"

namespace window {

CheckBox::CheckBox(QWidget *parent)
    : QCheckBox(parent)
    , runtime::TwipsControl(this)
{}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

} // namespace window
