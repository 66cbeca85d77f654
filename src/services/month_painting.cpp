#include "month_painting.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "document/doc_state.h"
#include "document/month_grid.h"

namespace {

// The highest system colour index the controls know (the info-tip background).
constexpr uint32_t kLastSystemColour = 0x18;

// Persistent drawing off, no picture, cleared, then (unless the surface is done with)
// persistent drawing on again.
void clearSurface(rt::PictureBox& box, bool drawingAgain) {
    box.setAutoRedraw(false);
    box.setPicture(rt::Picture::empty());
    box.Cls();
    box.setAutoRedraw(drawingAgain);
}

} // namespace

QString MonthCaption(int16_t Month) {
    return rt::LoadResString(209 + Month) + u' ' + CurDoc.Year;
}

QString DayLabel(int16_t Month, int16_t Cell) {
    int16_t year = 0;
    try {
        year = DocumentYear();
    } catch (const rt::RtError&) {
        return QString(); // a year that is no 16-bit whole number shows no day
    }
    const int16_t day = DayOfCell(year, Month, Cell);
    return day != 0 ? rt::FormatNumber(day, QStringLiteral("0#")) : QString();
}

std::vector<QPointF> TilePositions(double W, double H, double TW, double TH) {
    std::vector<QPointF> tiles;
    // A tile without size would never move on.
    if (!(TW > 0) || !(TH > 0)) return tiles;
    for (double x = 0; x <= W; x += TW)
        for (double y = 0; y <= H; y += TH)
            tiles.emplace_back(x, y);
    return tiles;
}

void PaintBackground(rt::PictureBox& Target, rt::PictureBox& Temp, const ImageItem& Image) {
    clearSurface(Temp, true);
    clearSurface(Target, true);
    // A setting without a picture paints nothing: the cells over it are opaque.
    if (!Image.Picture.isEmpty()) {
        Temp.setPicture(Image.Picture);
        const rt::Picture source = Temp.Image();
        const double tw = Temp.Width(), th = Temp.Height();
        switch (Image.Mode) {
        case ImageMode::AsIs:
            Target.setPicture(source);
            break;
        case ImageMode::Stretched:
            Target.PaintPicture(source, 0, 0, Target.Width(), Target.Height(), 0, 0, tw, th);
            break;
        case ImageMode::Tiled:
            for (const QPointF& at : TilePositions(Target.Width(), Target.Height(), tw, th))
                Target.PaintPicture(source, at.x(), at.y(), tw, th, 0, 0, tw, th);
            break;
        default:
            break;
        }
    }
    clearSurface(Temp, false);
}

int32_t DisplayColour(int32_t Value, int32_t Fallback) {
    const auto u = uint32_t(Value);
    if (u <= 0xFFFFFFu) return Value;
    if ((u & 0x80000000u) != 0 && (u & 0x7FFFFFFFu) <= kLastSystemColour) return Value;
    return Fallback;
}

const ColourSet& ColoursInForce(int16_t Month) {
    const MonthRec& month = CurDoc.Months(Month);
    return month.Colours.UseDefault != 0 ? CurDoc.DefaultColours : month.Colours;
}

const ImageItem& BackgroundInForce(int16_t Month) {
    const MonthRec& month = CurDoc.Months(Month);
    return month.Background.UseDefault != 0 ? CurDoc.DefaultBackground : month.Background;
}
