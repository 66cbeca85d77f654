#include "month_backgrounds.h"

#include "month_fill.h"
#include "month_window.h"

namespace {

// Persistent drawing off, no picture, cleared, then (unless the surface is done with)
// persistent drawing on again.
void clearSurface(rt::PictureBox& box, bool drawingAgain) {
    box.setAutoRedraw(false);
    box.setPicture(rt::Picture::empty());
    box.Cls();
    box.setAutoRedraw(drawingAgain);
}

} // namespace

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

void RefreshMonthBackground(int16_t Month) {
    FrmMonthModele& window = MonthForms(Month).get();
    PaintBackground(window.PicCal, window.PicTemp, BackgroundInForce(Month));
}
