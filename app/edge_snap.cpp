#include "app/edge_snap.h"

#include <cstdlib>

namespace app {

TSnapPosition SnapToArea(int x, int y, int width, int height, const TSnapArea& area, int distance)
{
    TSnapPosition position{x, y};
    if (x == 0 && y == 0) return position;
    if (std::abs(position.X - area.Left) < distance) position.X = area.Left;
    if (std::abs(position.Y - area.Top) < distance) position.Y = area.Top;
    if (std::abs(position.X + width - area.Right) < distance) position.X = area.Right - width;
    if (std::abs(position.Y + height - area.Bottom) < distance) position.Y = area.Bottom - height;
    return position;
}

}  // namespace app
