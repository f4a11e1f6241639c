#pragma once

#include "runtime/TwipsControl.h"

#include <QCheckBox>

namespace window {

// A check box that a click toggles between unchecked and checked; only the program makes it
// grayed (Qt::PartiallyChecked).
class CheckBox : public QCheckBox, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit CheckBox(QWidget *parent);

protected:
    void nextCheckState() override;
};

} // namespace window
