#pragma once
#include "DibSurface.h"
#include <memory>
#include <vector>

// The layers of a paint that change only with the bounds, the gradient colour and the grid
// phase (field, gradient, grid, frame), kept as one surface per grid texture, so a paint copies
// them instead of drawing them again. Other bounds or another colour drop every kept surface.
class CChartBackgrounds {
public:
    // The surface kept for these bounds, colour and texture; nullptr when there is none yet.
    const CDibSurface* Find(const RECT& bounds, DWORD gradientColor, size_t texture);
    // Keeps the surface drawn after a Find that found none.
    const CDibSurface* Keep(size_t texture, std::unique_ptr<CDibSurface> surface);

private:
    RECT m_bounds{};
    DWORD m_gradientColor = 0;
    std::vector<std::unique_ptr<CDibSurface>> m_surfaces;
};
