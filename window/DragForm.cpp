#include "DragForm.h"

#include "runtime/SystemMove.h"

namespace window {

void DragForm(QWidget &form)
{
    runtime::beginSystemMove(&form);
}

} // namespace window
