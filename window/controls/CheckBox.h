#pragma once

#include "runtime/TwipsControl.h"

#include <QCheckBox>

namespace window {

// A check box whose Value is 0 (unchecked), 1 (checked) or 2 (grayed). A click toggles between
// 0 and 1; only a program sets 2.
class CheckBox : public QCheckBox, public runtime::TwipsControl
{
    Q_OBJECT
public:
    explicit CheckBox(QWidget *parent);

    int Value() const;
    void setValue(int value);

protected:
    void nextCheckState() override;
};

} // namespace window
