#pragma once
#include "ChartBackgrounds.h"
#include "ChartModel.h"
#include "ChartTexts.h"
#include <windows.h>
#include <objidl.h>  // PROPID, left out by WIN32_LEAN_AND_MEAN
#include <gdiplus.h>
#include <memory>
#include <vector>

// The chart's drawing resources and its paint: a white field, the title, a gradient plot area
// with a scrolling texture grid, the latest value in large figures, the sample polyline, the
// value labels and the time-span label, drawn off-screen and copied to the target at once.
// The field, gradient, grid and frame are drawn once per size, colour and grid phase and kept;
// a paint copies them and draws only the texts, the polyline and the labels over them.
class CChartRenderer {
public:
    CChartRenderer();
    ~CChartRenderer();
    CChartRenderer(const CChartRenderer&) = delete;
    CChartRenderer& operator=(const CChartRenderer&) = delete;

    // Creates the fonts, brushes, pens, formats and the grid textures (GDI+ must be running).
    HRESULT Initialise(int gridSize, int step);
    HRESULT Paint(HDC target, const RECT& bounds, CChartModel& model);
    // Draws every layer afresh, without the kept backgrounds: what Paint must look like.
    HRESULT PaintWhole(HDC target, const RECT& bounds, CChartModel& model);

    // The family the fonts were made from: "Tahoma", or the sans-serif stand-in found.
    std::wstring FontFamilyName() const;

private:
    HRESULT Paint(HDC target, const RECT& bounds, CChartModel& model, bool keptBackground);
    bool DrawOverBackground(HDC offscreen, const RECT& bounds);
    const CDibSurface* Background(HDC offscreen, const RECT& bounds);
    void DrawWhole(Gdiplus::Graphics& graphics, const RECT& bounds);
    void DrawField(Gdiplus::Graphics& graphics, const RECT& bounds);
    void DrawPlotArea(Gdiplus::Graphics& graphics, const Gdiplus::Rect& plot);
    void DrawReadoutAndTitle(Gdiplus::Graphics& graphics, const Gdiplus::Rect& plot, const Gdiplus::Rect& titleBox);
    void DrawTrace(Gdiplus::Graphics& graphics, const RECT& bounds);
    size_t GridTexture() const;
    void DrawPolyline(Gdiplus::Graphics& graphics, const RECT& bounds, const Gdiplus::Rect& plot);
    void DrawRuns(Gdiplus::Graphics& graphics);
    void DrawLabels(Gdiplus::Graphics& graphics, const Gdiplus::Rect& plot);
    void DrawLabel(Gdiplus::Graphics& graphics, const wchar_t* text, float x, float y, float width);
    void BuildGridTextures(int gridSize, int step);

    std::unique_ptr<Gdiplus::FontFamily> m_family;
    std::unique_ptr<Gdiplus::Font> m_titleFont, m_valueFont, m_labelFont;
    std::unique_ptr<Gdiplus::SolidBrush> m_backgroundBrush, m_textBrush, m_labelBrush, m_lineBrush;
    std::unique_ptr<Gdiplus::Pen> m_framePen, m_linePen;
    std::unique_ptr<Gdiplus::StringFormat> m_centredFormat, m_rightFormat;
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> m_gridImages;
    std::vector<std::unique_ptr<Gdiplus::TextureBrush>> m_gridBrushes;

    CChartBackgrounds m_backgrounds;
    std::unique_ptr<CDibSurface> m_offscreen;  // kept while the size holds

    // Working buffers: the state of the paint under way, the polyline and the texts.
    bool m_onDisplay = true;  // the target is a screen or a memory DC like it
    std::unique_ptr<CChartSnapshot> m_snapshot;
    Gdiplus::Point m_points[CChartSnapshot::kMaxPoints];
    CChartTexts m_texts;
};
