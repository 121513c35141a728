#include "ChartRenderer.h"
#include "GdiObjects.h"
#include <array>
#include <cmath>

using namespace Gdiplus;

namespace {
const ARGB kGridGrey = 0x7B7B7B;
const REAL kLineWidth = 2.5f;

// "Tahoma" where installed; otherwise the first sans-serif family the system has, so the
// texts are never silently left out.
std::unique_ptr<FontFamily> PickFontFamily()
{
    for (const wchar_t* name : {L"Tahoma", L"Microsoft Sans Serif", L"Arial", L"Liberation Sans", L"DejaVu Sans"}) {
        auto family = std::make_unique<FontFamily>(name);
        if (family->GetLastStatus() == Ok)
            return family;
    }
    const FontFamily* generic = FontFamily::GenericSansSerif();
    if (generic && generic->GetLastStatus() == Ok)
        return std::unique_ptr<FontFamily>(generic->Clone());
    InstalledFontCollection installed;
    FontFamily first;
    INT found = 0;
    if (installed.GetFamilyCount() > 0 && installed.GetFamilies(1, &first, &found) == Ok && found == 1)
        return std::unique_ptr<FontFamily>(first.Clone());
    return nullptr;
}

std::unique_ptr<StringFormat> MakeFormat(StringAlignment horizontal)
{
    auto format = std::make_unique<StringFormat>(0, LANG_NEUTRAL);
    format->SetAlignment(horizontal);
    format->SetLineAlignment(StringAlignmentCenter);
    return format;
}

BYTE GridAlpha(int distance)
{
    if (distance == 0)
        return 0xFA;
    if (distance <= 2)
        return 0xC0;
    if (distance <= 5)
        return 0xA1;
    return 0x7B;
}

// The rendering settings of every layer over the white field.
void SetQuality(Graphics& graphics)
{
    graphics.SetInterpolationMode(InterpolationModeDefault);
    graphics.SetCompositingQuality(CompositingQualityDefault);
    graphics.SetCompositingMode(CompositingModeSourceOver);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    graphics.SetPixelOffsetMode(PixelOffsetModeDefault);
}

Rect PlotArea(const RECT& bounds)
{
    return Rect(bounds.left + 50, bounds.top + 60, bounds.right - bounds.left - 60, bounds.bottom - bounds.top - 80);
}

Rect TitleBox(const RECT& bounds)
{
    return Rect(bounds.left + 50, bounds.top + 10, bounds.right - bounds.left - 60, 60);
}

// Where the frame around the plot area can change pixels, in off-screen bitmap coordinates:
// 3 pixels to either side of its outline, for a 1-pixel pen however it is anti-aliased.
std::array<RECT, 4> FrameBand(const RECT& bounds)
{
    const LONG margin = 3, left = 50, top = 60;
    const LONG right = bounds.right - bounds.left - 10, bottom = bounds.bottom - bounds.top - 20;
    return {{{left - margin, top - margin, right + margin + 1, top + margin + 1},
             {left - margin, bottom - margin, right + margin + 1, bottom + margin + 1},
             {left - margin, top - margin, left + margin + 1, bottom + margin + 1},
             {right - margin, top - margin, right + margin + 1, bottom + margin + 1}}};
}

RectF ToRectF(const Rect& r)
{
    return RectF(static_cast<REAL>(r.X), static_cast<REAL>(r.Y), static_cast<REAL>(r.Width), static_cast<REAL>(r.Height));
}
}  // namespace

CChartRenderer::CChartRenderer() : m_snapshot(std::make_unique<CChartSnapshot>()), m_points{}, m_texts{}
{
}

CChartRenderer::~CChartRenderer() = default;

HRESULT CChartRenderer::Initialise(int gridSize, int step)
{
    m_family = PickFontFamily();
    if (m_family) {
        m_titleFont = std::make_unique<Font>(m_family.get(), 10.0f, FontStyleBold, UnitPoint);
        m_valueFont = std::make_unique<Font>(m_family.get(), 52.0f, FontStyleBold, UnitPoint);
        m_labelFont = std::make_unique<Font>(m_family.get(), 8.0f, FontStyleRegular, UnitPoint);
    }
    m_backgroundBrush = std::make_unique<SolidBrush>(Color(0xFFFFFFFF));
    m_textBrush = std::make_unique<SolidBrush>(Color(0xFFFF0000));
    m_labelBrush = std::make_unique<SolidBrush>(Color(0xFF0000FF));
    m_framePen = std::make_unique<Pen>(Color(0x7B7B7B7B), 1.0f);
    m_linePen = std::make_unique<Pen>(Color(0xFF00FF00), kLineWidth);
    m_lineBrush = std::make_unique<SolidBrush>(Color(0xFF00FF00));
    m_linePen->SetLineJoin(LineJoinRound);
    m_centredFormat = MakeFormat(StringAlignmentCenter);
    m_rightFormat = MakeFormat(StringAlignmentFar);
    BuildGridTextures(gridSize, step);
    for (const auto& brush : m_gridBrushes)
        if (brush->GetLastStatus() != Ok)
            return E_OUTOFMEMORY;
    return m_linePen->GetLastStatus() == Ok ? S_OK : E_OUTOFMEMORY;
}

std::wstring CChartRenderer::FontFamilyName() const
{
    WCHAR name[LF_FACESIZE] = {};
    if (m_family)
        m_family->GetFamilyName(name);
    return name;
}

// Texture k holds one cross at (x0, 10), x0 = 0, 4, 9, 14: tiled, the grid shifted for phase k.
void CChartRenderer::BuildGridTextures(int gridSize, int step)
{
    const int y0 = gridSize / 2;
    for (int k = 0; k < gridSize / step; ++k) {
        auto image = std::make_unique<Bitmap>(gridSize, gridSize, PixelFormat32bppARGB);
        for (int y = 0; y < gridSize; ++y)
            for (int x = 0; x < gridSize; ++x)
                image->SetPixel(x, y, Color(0));
        const int x0 = k > 0 ? k * step - 1 : 0;
        image->SetPixel(x0, y0, Color(GridAlpha(0) << 24 | kGridGrey));
        for (int d = -(y0 - 1); d <= y0 - 1; ++d)
            image->SetPixel((x0 + d + gridSize) % gridSize, y0, Color(GridAlpha(d < 0 ? -d : d) << 24 | kGridGrey));
        for (int d = -(y0 - 1); d <= y0 - 1; ++d)
            image->SetPixel(x0, y0 + d, Color(GridAlpha(d < 0 ? -d : d) << 24 | kGridGrey));
        m_gridBrushes.push_back(std::make_unique<TextureBrush>(image.get(), WrapModeTile));
        m_gridImages.push_back(std::move(image));
    }
}

HRESULT CChartRenderer::Paint(HDC target, const RECT& bounds, CChartModel& model)
{
    return Paint(target, bounds, model, true);
}

HRESULT CChartRenderer::PaintWhole(HDC target, const RECT& bounds, CChartModel& model)
{
    return Paint(target, bounds, model, false);
}

HRESULT CChartRenderer::Paint(HDC target, const RECT& bounds, CChartModel& model, bool keptBackground)
{
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    model.TakeSnapshot(width - 60, height - 80, *m_snapshot);
    if (width <= 0 || height <= 0)
        return S_OK;
    if (!m_offscreen || m_offscreen->Width() != width || m_offscreen->Height() != height)
        m_offscreen = std::make_unique<CDibSurface>(width, height);
    CMemoryDC offscreen(target);
    if (!m_offscreen->IsValid() || !offscreen) {
        m_offscreen.reset();
        return S_OK;
    }
    CSelectObject selected(offscreen, m_offscreen->Bitmap());
    ::SetViewportOrgEx(offscreen, -bounds.left, -bounds.top, nullptr);
    FormatChartTexts(*m_snapshot, m_texts);
    // Kept backgrounds and the polyline's bitmap are in screen pixels: a printer or metafile
    // target gets the whole paint through the DC, as its units may differ.
    m_onDisplay = ::GetDeviceCaps(target, TECHNOLOGY) == DT_RASDISPLAY;
    if (!keptBackground || !m_onDisplay || !DrawOverBackground(offscreen, bounds)) {
        m_offscreen->Clear();
        Graphics graphics(offscreen);
        DrawWhole(graphics, bounds);
    }
    ::BitBlt(target, bounds.left, bounds.top, width, height, offscreen, bounds.left, bounds.top, SRCCOPY);
    return S_OK;
}

// The frame lies in the kept background, so it ends up under the readout and the title instead
// of over them. That changes no pixel unless a text reaches the frame; its band then differs
// from the background's, and the paint is drawn whole instead.
bool CChartRenderer::DrawOverBackground(HDC offscreen, const RECT& bounds)
{
    const CDibSurface* background = Background(offscreen, bounds);
    if (!background)
        return false;
    m_offscreen->CopyFrom(*background);
    Graphics graphics(offscreen);
    const GraphicsContainer container = graphics.BeginContainer();
    SetQuality(graphics);
    const Rect plot = PlotArea(bounds);
    DrawReadoutAndTitle(graphics, plot, TitleBox(bounds));
    graphics.Flush(FlushIntentionSync);
    for (const RECT& band : FrameBand(bounds))
        if (!m_offscreen->SameIn(*background, band))
            return false;
    DrawTrace(graphics, bounds);
    graphics.EndContainer(container);
    return true;
}

const CDibSurface* CChartRenderer::Background(HDC offscreen, const RECT& bounds)
{
    const size_t texture = GridTexture();
    const Rect plot = PlotArea(bounds);
    if (texture >= m_gridBrushes.size() || plot.Width < 1 || plot.Height < 1)
        return nullptr;
    if (const CDibSurface* kept = m_backgrounds.Find(bounds, m_snapshot->gradientColor, texture))
        return kept;
    auto surface = std::make_unique<CDibSurface>(m_offscreen->Width(), m_offscreen->Height());
    CMemoryDC dc(offscreen);
    if (!surface->IsValid() || !dc)
        return nullptr;
    CSelectObject selected(dc, surface->Bitmap());
    ::SetViewportOrgEx(dc, -bounds.left, -bounds.top, nullptr);
    {
        Graphics graphics(dc);
        DrawField(graphics, bounds);
        const GraphicsContainer container = graphics.BeginContainer();
        SetQuality(graphics);
        DrawPlotArea(graphics, plot);
        graphics.DrawRectangle(m_framePen.get(), plot);
        graphics.EndContainer(container);
    }
    return m_backgrounds.Keep(texture, std::move(surface));
}

void CChartRenderer::DrawWhole(Graphics& graphics, const RECT& bounds)
{
    DrawField(graphics, bounds);
    const GraphicsContainer container = graphics.BeginContainer();
    SetQuality(graphics);
    const Rect plot = PlotArea(bounds);
    DrawPlotArea(graphics, plot);
    DrawReadoutAndTitle(graphics, plot, TitleBox(bounds));
    graphics.DrawRectangle(m_framePen.get(), plot);
    DrawTrace(graphics, bounds);
    graphics.EndContainer(container);
}

void CChartRenderer::DrawField(Graphics& graphics, const RECT& bounds)
{
    const INT left = bounds.left, top = bounds.top;
    graphics.FillRectangle(m_backgroundBrush.get(), left, top, bounds.right - left, bounds.bottom - top);
}

void CChartRenderer::DrawPlotArea(Graphics& graphics, const Rect& plot)
{
    LinearGradientBrush gradient(plot, Color(0xFF000000), Color(m_snapshot->gradientColor), LinearGradientModeVertical);
    gradient.SetWrapMode(WrapModeTile);
    graphics.FillRectangle(&gradient, plot);
    const size_t texture = GridTexture();
    if (texture < m_gridBrushes.size())
        graphics.FillRectangle(m_gridBrushes[texture].get(), plot);
}

size_t CChartRenderer::GridTexture() const
{
    return static_cast<size_t>(m_snapshot->gridPhase / m_snapshot->step);
}

void CChartRenderer::DrawReadoutAndTitle(Graphics& graphics, const Rect& plot, const Rect& titleBox)
{
    if (!m_family)
        return;
    graphics.DrawString(m_texts.value, -1, m_valueFont.get(), ToRectF(plot), m_centredFormat.get(), m_textBrush.get());
    graphics.DrawString(m_snapshot->title, -1, m_titleFont.get(), ToRectF(titleBox), m_centredFormat.get(),
                        m_textBrush.get());
}

void CChartRenderer::DrawTrace(Graphics& graphics, const RECT& bounds)
{
    const Rect plot = PlotArea(bounds);
    if (m_snapshot->count > 2)
        DrawPolyline(graphics, bounds, plot);
    DrawLabels(graphics, plot);
}

// On a display, through a GDI+ bitmap over the off-screen pixels rather than through the DC:
// GDI+ under Wine fills a DC by way of temporary bitmaps as large as the polyline's bounding
// box (for a full chart most of a paint's time) but draws into a bitmap in place. The colours
// come out the same.
void CChartRenderer::DrawPolyline(Graphics& graphics, const RECT& bounds, const Rect& plot)
{
    const CChartSnapshot& s = *m_snapshot;
    const float bottom = static_cast<float>(plot.Y + plot.Height);
    for (size_t i = 0; i < s.count; ++i)
        if (std::isfinite(s.samples[i]))
            m_points[i] = Point(plot.X + static_cast<INT>(i + 1) * s.step,
                                static_cast<INT>(bottom - (s.samples[i] - s.min) * s.scale));
    if (!m_onDisplay) {
        DrawRuns(graphics);
        return;
    }
    graphics.Flush(FlushIntentionSync);
    ::GdiFlush();
    const int width = m_offscreen->Width();
    Bitmap pixels(width, m_offscreen->Height(), width * 4, PixelFormat32bppRGB,
                  reinterpret_cast<BYTE*>(m_offscreen->Pixels()));
    Graphics inPlace(&pixels);
    SetQuality(inPlace);
    inPlace.TranslateTransform(static_cast<REAL>(-bounds.left), static_cast<REAL>(-bounds.top));
    DrawRuns(inPlace);
}

// A sample that is not a number (or is infinite) has no point: the trace breaks there, each run of
// finite samples is a polyline of its own, and a lone one between two gaps is a dot.
void CChartRenderer::DrawRuns(Graphics& graphics)
{
    const CChartSnapshot& s = *m_snapshot;
    size_t start = 0;
    for (size_t end = 0; end <= s.count; ++end) {
        if (end < s.count && std::isfinite(s.samples[end]))
            continue;
        if (end - start >= 2) {
            graphics.DrawLines(m_linePen.get(), m_points + start, static_cast<INT>(end - start));
        } else if (end - start == 1) {
            const Point& p = m_points[start];
            graphics.FillEllipse(m_lineBrush.get(), static_cast<REAL>(p.X) - kLineWidth / 2,
                                 static_cast<REAL>(p.Y) - kLineWidth / 2, kLineWidth, kLineWidth);
        }
        start = end + 1;
    }
}

void CChartRenderer::DrawLabels(Graphics& graphics, const Rect& plot)
{
    const CChartSnapshot& s = *m_snapshot;
    const float x = static_cast<float>(plot.X - 45);
    DrawLabel(graphics, m_texts.minimum, x, static_cast<float>(plot.Y + plot.Height - 2), 45);
    DrawLabel(graphics, m_texts.maximum, x, static_cast<float>(plot.Y - 2), 45);
    DrawLabel(graphics, m_texts.middle, x, plot.Y + (s.max - s.middle) * s.scale - 5, 45);
    DrawLabel(graphics, m_texts.span, static_cast<float>(plot.X + plot.Width - 60),
              static_cast<float>(plot.Y + plot.Height + 5), 60);
}

void CChartRenderer::DrawLabel(Graphics& graphics, const wchar_t* text, float x, float y, float width)
{
    if (m_family && text[0])
        graphics.DrawString(text, -1, m_labelFont.get(), RectF(x, y, width, 10), m_rightFormat.get(),
                            m_labelBrush.get());
}
