#include "ChartRenderer.h"
#include "GdiObjects.h"

using namespace Gdiplus;

namespace {
const ARGB kGridGrey = 0x7B7B7B;

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
    m_linePen = std::make_unique<Pen>(Color(0xFF00FF00), 2.5f);
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
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    model.TakeSnapshot(width - 60, height - 80, *m_snapshot);
    if (width <= 0 || height <= 0)
        return S_OK;
    CMemoryDC offscreen(target);
    CGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(target, width, height));
    if (!offscreen || !bitmap)
        return S_OK;
    CSelectObject selected(offscreen, bitmap);
    POINT origin;
    ::SetViewportOrgEx(offscreen, -bounds.left, -bounds.top, &origin);
    {
        Graphics graphics(offscreen);
        DrawChart(graphics, bounds);
    }
    ::BitBlt(target, bounds.left, bounds.top, width, height, offscreen, bounds.left, bounds.top, SRCCOPY);
    ::SetViewportOrgEx(offscreen, origin.x, origin.y, nullptr);
    return S_OK;
}

void CChartRenderer::DrawChart(Graphics& graphics, const RECT& bounds)
{
    const int left = bounds.left, top = bounds.top;
    const int width = bounds.right - left, height = bounds.bottom - top;
    graphics.FillRectangle(m_backgroundBrush.get(), left, top, width, height);

    const GraphicsContainer container = graphics.BeginContainer();
    graphics.SetInterpolationMode(InterpolationModeDefault);
    graphics.SetCompositingQuality(CompositingQualityDefault);
    graphics.SetCompositingMode(CompositingModeSourceOver);
    graphics.SetSmoothingMode(SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
    graphics.SetPixelOffsetMode(PixelOffsetModeDefault);

    const CChartSnapshot& s = *m_snapshot;
    const Rect plot(left + 50, top + 60, width - 60, height - 80);
    const Rect titleBox(left + 50, top + 10, width - 60, 60);
    LinearGradientBrush gradient(plot, Color(0xFF000000), Color(s.gradientColor), LinearGradientModeVertical);
    gradient.SetWrapMode(WrapModeTile);
    graphics.FillRectangle(&gradient, plot);
    const size_t texture = static_cast<size_t>(s.gridPhase / s.step);
    if (texture < m_gridBrushes.size())
        graphics.FillRectangle(m_gridBrushes[texture].get(), plot);

    FormatChartTexts(s, m_texts);
    DrawReadoutAndTitle(graphics, plot, titleBox);
    graphics.DrawRectangle(m_framePen.get(), plot);
    if (s.count > 2)
        DrawPolyline(graphics, plot);
    DrawLabels(graphics, plot);
    graphics.EndContainer(container);
}

void CChartRenderer::DrawReadoutAndTitle(Graphics& graphics, const Rect& plot, const Rect& titleBox)
{
    if (!m_family)
        return;
    graphics.DrawString(m_texts.value, -1, m_valueFont.get(), ToRectF(plot), m_centredFormat.get(), m_textBrush.get());
    graphics.DrawString(m_snapshot->title, -1, m_titleFont.get(), ToRectF(titleBox), m_centredFormat.get(),
                        m_textBrush.get());
}

void CChartRenderer::DrawPolyline(Graphics& graphics, const Rect& plot)
{
    const CChartSnapshot& s = *m_snapshot;
    const float bottom = static_cast<float>(plot.Y + plot.Height);
    for (size_t i = 0; i < s.count; ++i)
        m_points[i] = Point(plot.X + static_cast<INT>(i + 1) * s.step,
                            static_cast<INT>(bottom - (s.samples[i] - s.min) * s.scale));
    graphics.DrawLines(m_linePen.get(), m_points, static_cast<INT>(s.count));
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
