#include "ChartBackgrounds.h"

const CDibSurface* CChartBackgrounds::Find(const RECT& bounds, DWORD gradientColor, size_t texture)
{
    if (!::EqualRect(&bounds, &m_bounds) || gradientColor != m_gradientColor) {
        m_surfaces.clear();
        m_bounds = bounds;
        m_gradientColor = gradientColor;
    }
    if (texture >= m_surfaces.size())
        m_surfaces.resize(texture + 1);
    return m_surfaces[texture].get();
}

const CDibSurface* CChartBackgrounds::Keep(size_t texture, std::unique_ptr<CDibSurface> surface)
{
    m_surfaces[texture] = std::move(surface);
    return m_surfaces[texture].get();
}
