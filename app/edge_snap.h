// Edge snapping of a window moved by the user: an edge that comes closer
// than the snap distance to the same edge of the work area is put onto it.
#pragma once

namespace app {

inline constexpr int kSnapDistance = 10;

struct TSnapArea {
    int Left, Top, Right, Bottom;
};

struct TSnapPosition {
    int X, Y;
};

// The position of a window of the given size moved to (x, y). The edges are
// checked left, top, right, bottom, so right and bottom win; a move to
// (0, 0) is not snapped.
TSnapPosition SnapToArea(int x, int y, int width, int height, const TSnapArea& area, int distance = kSnapDistance);

}  // namespace app
