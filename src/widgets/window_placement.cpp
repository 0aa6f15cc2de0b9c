#include "widgets/window_placement.h"

namespace marovin::widgets {

WindowPlacement placementOf(const QWidget& widget)
{
    WindowPlacement placement{};
    placement.length = sizeof(WindowPlacement);
    placement.showCommand = widget.isMaximized() ? 3 : widget.isMinimized() ? 2 : 1;
    const QRect normal = widget.isMaximized() || widget.isMinimized() ? widget.normalGeometry() : widget.geometry();
    placement.normalRect = {normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};
    return placement;
}

} // namespace marovin::widgets
