#pragma once
// Drawing on a small grid of pixels, in two looks: the 16-colour look (flat VGA colours, no
// smoothing, so that every pixel keeps an exact palette colour) and the full-colour look (softer
// tones, gradients and smoothed edges). Coordinates are pixel indices: a rectangle (x, y, w, h)
// covers the pixels x to x + w - 1 and y to y + h - 1, and a polygon's corners are pixel centres.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QString>

namespace resgen {

enum class Role {
    Ink,        // outlines
    Paper,      // white surfaces
    PaperShade, // shaded paper, folds
    Red,
    DarkRed,
    Blue,
    Navy,
    Yellow,
    Olive,
    Green,
    Lime,
    Grey,
    Silver,
    Teal,
    Aqua,
    Purple,
};

struct Look {
    bool full = true; // full colour (smoothed, gradients) or 16 colours (flat VGA colours)
    QColor operator()(Role role) const;
};

class PixelPainter {
public:
    // Paints on the image; scale > 1 draws the same grid larger (a 32-pixel rendering of a
    // 16-pixel drawing).
    PixelPainter(QImage& image, Look look, qreal scale = 1);

    Look look() const { return look_; }
    QPainter& painter() { return p_; }

    void fill(int x, int y, int w, int h, Role role);
    // Full colour: a vertical gradient from top to bottom; 16 colours: the top role, flat.
    void fillV(int x, int y, int w, int h, Role top, Role bottom);
    // A rectangle's 1-pixel outline.
    void frame(int x, int y, int w, int h, Role role);
    void box(int x, int y, int w, int h, Role fillRole, Role outline = Role::Ink);
    void pixel(int x, int y, Role role);
    void line(qreal x1, qreal y1, qreal x2, qreal y2, Role role, qreal width = 1);
    void polygon(const QPolygonF& corners, Role fillRole, Role outline = Role::Ink);
    void ellipse(qreal cx, qreal cy, qreal rx, qreal ry, Role fillRole, Role outline = Role::Ink);
    // Text in the small pixel font (digits, "A", "Z", "?", "$"); glyphs are 3 x 5, or 5 x 7 when
    // large; returns the width drawn.
    int text(const QString& s, int x, int y, Role role, bool large = false);
    static int textWidth(const QString& s, bool large = false);

    // A window: outline, title bar (titleHeight rows) and white body.
    void window(int x, int y, int w, int h, int titleHeight = 2);

private:
    Look look_;
    QPainter p_;
};

} // namespace resgen
