#include "pixel_painter.h"

#include <QLinearGradient>
#include <QPen>
#include <map>

namespace resgen {

QColor Look::operator()(Role role) const {
    struct Pair {
        QRgb vga, rich;
    };
    static const std::map<Role, Pair> colours = {
        {Role::Ink, {0x000000, 0x2b2f38}},        {Role::Paper, {0xffffff, 0xffffff}},
        {Role::PaperShade, {0xc0c0c0, 0xd5dbe3}}, {Role::Red, {0xff0000, 0xe0453a}},
        {Role::DarkRed, {0x800000, 0xa32b22}},    {Role::Blue, {0x0000ff, 0x2f6fd6}},
        {Role::Navy, {0x000080, 0x1d3f8a}},       {Role::Yellow, {0xffff00, 0xf7cf4a}},
        {Role::Olive, {0x808000, 0xc9971c}},      {Role::Green, {0x008000, 0x2e9b4f}},
        {Role::Lime, {0x00ff00, 0x66d17f}},       {Role::Grey, {0x808080, 0x7d8692}},
        {Role::Silver, {0xc0c0c0, 0xc3c9d1}},     {Role::Teal, {0x008080, 0x23888f}},
        {Role::Aqua, {0x00ffff, 0x9fe3f2}},       {Role::Purple, {0x800080, 0x7d4fb3}},
    };
    const Pair& pair = colours.at(role);
    return QColor::fromRgb(full ? pair.rich : pair.vga);
}

PixelPainter::PixelPainter(QImage& image, Look look, qreal scale) : look_(look), p_(&image) {
    p_.setRenderHint(QPainter::Antialiasing, look.full);
    p_.setRenderHint(QPainter::SmoothPixmapTransform, look.full);
    p_.scale(scale, scale);
}

void PixelPainter::fill(int x, int y, int w, int h, Role role) {
    p_.fillRect(QRectF(x, y, w, h), look_(role));
}

void PixelPainter::fillV(int x, int y, int w, int h, Role top, Role bottom) {
    if (!look_.full) return fill(x, y, w, h, top);
    QLinearGradient g(0, y, 0, y + h);
    g.setColorAt(0, look_(top));
    g.setColorAt(1, look_(bottom));
    p_.fillRect(QRectF(x, y, w, h), g);
}

void PixelPainter::frame(int x, int y, int w, int h, Role role) {
    fill(x, y, w, 1, role);
    fill(x, y + h - 1, w, 1, role);
    fill(x, y, 1, h, role);
    fill(x + w - 1, y, 1, h, role);
}

void PixelPainter::box(int x, int y, int w, int h, Role fillRole, Role outline) {
    fill(x, y, w, h, fillRole);
    frame(x, y, w, h, outline);
}

void PixelPainter::pixel(int x, int y, Role role) {
    fill(x, y, 1, 1, role);
}

void PixelPainter::line(qreal x1, qreal y1, qreal x2, qreal y2, Role role, qreal width) {
    QPen pen(look_(role), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    p_.setPen(pen);
    p_.drawLine(QPointF(x1 + 0.5, y1 + 0.5), QPointF(x2 + 0.5, y2 + 0.5));
}

void PixelPainter::polygon(const QPolygonF& corners, Role fillRole, Role outline) {
    const QPolygonF centred = corners.translated(0.5, 0.5);
    p_.setPen(QPen(look_(outline), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p_.setBrush(look_(fillRole));
    p_.drawPolygon(centred);
    p_.setBrush(Qt::NoBrush);
}

void PixelPainter::ellipse(qreal cx, qreal cy, qreal rx, qreal ry, Role fillRole, Role outline) {
    p_.setPen(QPen(look_(outline), 1));
    p_.setBrush(look_(fillRole));
    p_.drawEllipse(QPointF(cx + 0.5, cy + 0.5), rx, ry);
    p_.setBrush(Qt::NoBrush);
}

namespace {

// Glyph rows, "#" set; every row of a glyph has the same width.
const std::map<QChar, std::vector<const char*>>& smallFont() {
    static const std::map<QChar, std::vector<const char*>> f = {
        {u'0', {"###", "#.#", "#.#", "#.#", "###"}}, {u'1', {".#", "##", ".#", ".#", ".#"}},
        {u'2', {"###", "..#", "###", "#..", "###"}}, {u'3', {"###", "..#", ".##", "..#", "###"}},
        {u'4', {"#.#", "#.#", "###", "..#", "..#"}}, {u'5', {"###", "#..", "###", "..#", "###"}},
        {u'6', {"###", "#..", "###", "#.#", "###"}}, {u'7', {"###", "..#", ".#.", ".#.", ".#."}},
        {u'8', {"###", "#.#", "###", "#.#", "###"}}, {u'9', {"###", "#.#", "###", "..#", "###"}},
        {u'A', {".#.", "#.#", "###", "#.#", "#.#"}}, {u'Z', {"###", "..#", ".#.", "#..", "###"}},
        {u'?', {"##.", "..#", ".#.", "...", ".#."}}, {u'$', {".##", "##.", ".#.", ".##", "##."}},
    };
    return f;
}

const std::map<QChar, std::vector<const char*>>& largeFont() {
    static const std::map<QChar, std::vector<const char*>> f = {
        {u'0', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {u'1', {".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"}},
        {u'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {u'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
        {u'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {u'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {u'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
        {u'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {u'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {u'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
        {u'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    };
    return f;
}

} // namespace

int PixelPainter::textWidth(const QString& s, bool large) {
    const auto& font = large ? largeFont() : smallFont();
    int w = 0;
    for (QChar c : s) {
        const auto it = font.find(c);
        if (it == font.end()) continue;
        if (w > 0) w += 1;
        w += int(qstrlen(it->second.front()));
    }
    return w;
}

int PixelPainter::text(const QString& s, int x, int y, Role role, bool large) {
    const auto& font = large ? largeFont() : smallFont();
    int cx = x;
    for (QChar c : s) {
        const auto it = font.find(c);
        if (it == font.end()) continue;
        if (cx > x) cx += 1;
        const auto& rows = it->second;
        for (size_t r = 0; r < rows.size(); ++r)
            for (int col = 0; rows[r][col]; ++col)
                if (rows[r][col] == '#') pixel(cx + col, y + int(r), role);
        cx += int(qstrlen(rows.front()));
    }
    return cx - x;
}

void PixelPainter::window(int x, int y, int w, int h, int titleHeight) {
    box(x, y, w, h, Role::Paper);
    fillV(x + 1, y + 1, w - 2, titleHeight, Role::Blue, Role::Navy);
    if (!look_.full) fill(x + 1, y + 1, w - 2, titleHeight, Role::Navy);
}

} // namespace resgen
