#include "icons.h"

#include <QtMath>
#include <functional>
#include <map>

namespace resgen {

namespace {

using Draw = std::function<void(PixelPainter&)>;
using R = Role;

// A calendar page seen from the front: binder rings, red header, white body.
void calendarPage(PixelPainter& p, int x, int y, int w, int h, int header) {
    p.box(x, y + 1, w, h - 1, R::Paper);
    p.fillV(x + 1, y + 2, w - 2, header, R::Red, R::DarkRed);
    p.fill(x + 3, y, 1, 3, R::Ink);
    p.fill(x + w - 4, y, 1, 3, R::Ink);
}

void page(PixelPainter& p, int x, int y, int right, int bottom, int fold) {
    p.polygon(QPolygonF({{qreal(x), qreal(y)},
                         {qreal(right - fold), qreal(y)},
                         {qreal(right), qreal(y + fold)},
                         {qreal(right), qreal(bottom)},
                         {qreal(x), qreal(bottom)}}),
              R::Paper);
    p.polygon(QPolygonF({{qreal(right - fold), qreal(y)},
                         {qreal(right - fold), qreal(y + fold)},
                         {qreal(right), qreal(y + fold)}}),
              R::PaperShade);
}

void drawNew(PixelPainter& p) {
    page(p, 3, 1, 12, 14, 3);
    // a small spark: something new
    p.fill(1, 2, 3, 1, R::Yellow);
    p.fill(2, 1, 1, 3, R::Yellow);
}

void drawOpen(PixelPainter& p) {
    p.polygon(QPolygonF({{1, 3}, {5, 3}, {6, 4}, {12, 4}, {12, 13}, {1, 13}}), R::Olive);
    p.polygon(QPolygonF({{4, 7}, {15, 7}, {12, 13}, {1, 13}}), R::Yellow);
}

void drawSave(PixelPainter& p) {
    p.polygon(QPolygonF({{1, 1}, {13, 1}, {14, 2}, {14, 14}, {1, 14}}), R::Blue);
    if (p.look().full) p.fillV(2, 7, 12, 2, R::Blue, R::Navy);
    p.box(4, 1, 8, 6, R::Paper);
    p.fill(5, 3, 6, 1, R::Grey);
    p.box(4, 9, 8, 6, R::Silver);
    p.fill(9, 10, 2, 3, R::Navy);
}

void drawPreview(PixelPainter& p) {
    page(p, 1, 1, 10, 14, 3);
    p.fill(3, 5, 4, 1, R::Grey);
    p.fill(3, 11, 3, 1, R::Grey);
    p.line(11, 11, 14, 14, R::Ink, 2);
    p.ellipse(8.5, 8.5, 3.5, 3.5, R::Aqua);
}

void drawPrint(PixelPainter& p) {
    p.box(4, 1, 8, 6, R::Paper);
    p.fill(6, 3, 4, 1, R::Grey);
    p.box(1, 6, 14, 6, R::Silver);
    if (p.look().full) p.fillV(2, 7, 12, 4, R::Silver, R::Grey);
    p.fill(11, 8, 2, 1, R::Lime);
    p.box(3, 10, 10, 5, R::Paper);
    p.fill(5, 12, 6, 1, R::Grey);
}

void gear(PixelPainter& p, qreal cx, qreal cy, qreal outer, qreal inner, qreal hole) {
    QPolygonF g;
    for (int k = 0; k < 8; ++k) {
        const qreal a = k * 45.0;
        for (const auto& [r, da] : {std::pair{inner, -17.0}, std::pair{outer, -9.0},
                                    std::pair{outer, 9.0}, std::pair{inner, 17.0}})
            g << QPointF(cx + r * qCos(qDegreesToRadians(a + da)),
                         cy + r * qSin(qDegreesToRadians(a + da)));
    }
    p.polygon(g, R::Silver);
    p.ellipse(cx, cy, hole, hole, R::Paper);
}

void drawOptions(PixelPainter& p) {
    gear(p, 7.5, 7.5, 7.4, 5.2, 2);
}

void drawProp(PixelPainter& p) {
    p.box(2, 1, 12, 14, R::Paper);
    p.fill(4, 3, 8, 1, R::Navy);
    p.fill(4, 5, 7, 1, R::Grey);
    p.fill(4, 7, 5, 1, R::Grey);
    p.fill(4, 10, 2, 3, R::Red);
    p.fill(7, 10, 2, 3, R::Green);
    p.fill(10, 10, 2, 3, R::Blue);
}

void drawHelp(PixelPainter& p) {
    p.ellipse(7.5, 7.5, 7, 7, R::Blue, R::Navy);
    p.text(QStringLiteral("?"), 6, 4, R::Paper, true);
}

void drawHTile(PixelPainter& p) {
    p.window(1, 1, 14, 7);
    p.window(1, 8, 14, 7);
}

void drawVTile(PixelPainter& p) {
    p.window(1, 1, 7, 14);
    p.window(8, 1, 7, 14);
}

void drawCascade(PixelPainter& p) {
    p.window(1, 1, 10, 10);
    p.window(3, 3, 10, 10);
    p.window(5, 5, 10, 10);
}

void drawAIcons(PixelPainter& p) {
    p.box(0, 1, 16, 14, R::Grey);
    p.window(2, 3, 8, 5);
    for (int i = 0; i < 3; ++i)
        p.window(1 + 5 * i, 10, 4, 3, 1);
}

void drawMonth(PixelPainter& p, int month) {
    calendarPage(p, 1, 1, 14, 14, 2);
    const QString digits = QString::number(month);
    const int w = PixelPainter::textWidth(digits, true);
    p.text(digits, 2 + (12 - w) / 2, 6, p.look().full ? R::Navy : R::Ink, true);
}

// The small button pictures, 14 x 13.
void drawShowPic(PixelPainter& p) {
    p.box(0, 1, 14, 11, R::Aqua);
    if (p.look().full) p.fillV(1, 2, 12, 9, R::Aqua, R::Paper);
    p.fill(9, 3, 2, 2, R::Yellow);
    p.polygon(QPolygonF({{1, 10}, {1, 8}, {4, 5}, {7, 8}, {9, 6}, {12, 9}, {12, 10}}), R::Green,
              R::Green);
    p.frame(0, 1, 14, 11, R::Ink);
}

void drawUp(PixelPainter& p) {
    p.polygon(QPolygonF({{6, 1}, {7, 1}, {12, 6}, {9, 6}, {9, 11}, {4, 11}, {4, 6}, {1, 6}}),
              R::Blue, R::Navy);
}

void drawDown(PixelPainter& p) {
    p.polygon(QPolygonF({{6, 11}, {7, 11}, {12, 6}, {9, 6}, {9, 1}, {4, 1}, {4, 6}, {1, 6}}),
              R::Blue, R::Navy);
}

void sortArrow(PixelPainter& p) {
    p.fill(10, 1, 1, 9, R::Ink);
    p.fill(8, 8, 5, 1, R::Ink);
    p.fill(9, 9, 3, 1, R::Ink);
    p.fill(10, 10, 1, 1, R::Ink);
}

void drawSortAZ(PixelPainter& p) {
    p.text(QStringLiteral("A"), 2, 1, R::Navy);
    p.text(QStringLiteral("Z"), 2, 7, R::Navy);
    sortArrow(p);
}

void drawSortZA(PixelPainter& p) {
    p.text(QStringLiteral("Z"), 2, 1, R::Navy);
    p.text(QStringLiteral("A"), 2, 7, R::Navy);
    sortArrow(p);
}

void drawUpdate(PixelPainter& p) {
    calendarPage(p, 0, 0, 10, 12, 2);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.pixel(2 + 2 * c, 6 + 2 * r, R::Grey);
    const std::pair<int, int> tick[] = {{5, 8},  {6, 9},  {7, 10}, {8, 9}, {9, 8},
                                        {10, 7}, {11, 6}, {12, 5}, {13, 4}};
    for (const auto& [x, y] : tick)
        p.fill(x, y - 1, 1, 2, R::Green);
}

// Window icons, 16 x 16.
void drawMain(PixelPainter& p) {
    calendarPage(p, 0, 1, 13, 13, 2);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.pixel(2 + 2 * c, 7 + 2 * r, R::Grey);
    p.ellipse(11.5, 11.5, 3.5, 3.5, R::Yellow, R::Olive);
    p.fill(11, 10, 1, 3, R::Olive);
}

void drawAlarm(PixelPainter& p) {
    p.ellipse(3, 3, 2.5, 2.5, R::Yellow);
    p.ellipse(12, 3, 2.5, 2.5, R::Yellow);
    p.line(3, 13, 2, 14, R::Ink);
    p.line(12, 13, 13, 14, R::Ink);
    p.ellipse(7.5, 8.5, 6, 6, R::Red);
    p.ellipse(7.5, 8.5, 4, 4, R::Paper, R::DarkRed);
    p.fill(7, 5, 1, 4, R::Ink);
    p.fill(8, 8, 3, 1, R::Ink);
}

void drawChart(PixelPainter& p) {
    p.box(3, 7, 3, 7, R::Blue);
    p.box(7, 3, 3, 11, R::Red);
    p.box(11, 9, 3, 5, R::Green);
    p.fill(1, 1, 1, 14, R::Ink);
    p.fill(1, 14, 15, 1, R::Ink);
}

void drawPicEdit(PixelPainter& p) {
    p.box(0, 1, 13, 11, R::Aqua);
    if (p.look().full) p.fillV(1, 2, 11, 9, R::Aqua, R::Paper);
    p.fill(8, 3, 2, 2, R::Yellow);
    p.polygon(QPolygonF({{1, 10}, {1, 8}, {4, 5}, {7, 8}, {9, 6}, {11, 8}, {11, 10}}), R::Green,
              R::Green);
    p.frame(0, 1, 13, 11, R::Ink);
    // a pencil across the lower right corner
    p.line(14, 6, 8, 12, R::Ink, 3);
    p.line(14, 6, 8, 12, R::Yellow, 1);
    p.pixel(7, 13, R::Ink);
}

void drawSaveQuestion(PixelPainter& p) {
    drawSave(p);
    p.ellipse(11, 11, 4, 4, R::Yellow);
    p.text(QStringLiteral("?"), 10, 9, R::Ink);
}

// The 32 x 32 pictures.
void drawMonthGrid(PixelPainter& p) {
    p.box(2, 4, 28, 26, R::Paper);
    p.fillV(3, 5, 26, 6, R::Red, R::DarkRed);
    p.fill(8, 2, 2, 6, R::Ink);
    p.fill(22, 2, 2, 6, R::Ink);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            p.fill(5 + 4 * c, 13 + 4 * r, 2, 2, (r == 1 && c == 3) ? R::Red : R::Grey);
}

void drawQuestion(PixelPainter& p) {
    p.painter().save();
    p.painter().scale(2, 2);
    drawSaveQuestion(p);
    p.painter().restore();
}

const std::map<QString, std::pair<QSize, Draw>>& drawings() {
    static const std::map<QString, std::pair<QSize, Draw>> all = [] {
        std::map<QString, std::pair<QSize, Draw>> m;
        const QSize s16(16, 16), small(14, 13), s32(32, 32);
        m[QStringLiteral("New")] = {s16, drawNew};
        m[QStringLiteral("Open")] = {s16, drawOpen};
        m[QStringLiteral("Save")] = {s16, drawSave};
        m[QStringLiteral("Preview")] = {s16, drawPreview};
        m[QStringLiteral("Print")] = {s16, drawPrint};
        m[QStringLiteral("Options")] = {s16, drawOptions};
        m[QStringLiteral("Prop")] = {s16, drawProp};
        m[QStringLiteral("Help")] = {s16, drawHelp};
        m[QStringLiteral("HTile")] = {s16, drawHTile};
        m[QStringLiteral("VTile")] = {s16, drawVTile};
        m[QStringLiteral("Cascade")] = {s16, drawCascade};
        m[QStringLiteral("AIcons")] = {s16, drawAIcons};
        for (int month = 1; month <= 12; ++month)
            m[QStringLiteral("m%1").arg(month, 2, 10, QLatin1Char('0'))] = {
                s16, [month](PixelPainter& p) { drawMonth(p, month); }};
        m[QStringLiteral("ShowPic")] = {small, drawShowPic};
        m[QStringLiteral("Up")] = {small, drawUp};
        m[QStringLiteral("Down")] = {small, drawDown};
        m[QStringLiteral("SortAZ")] = {small, drawSortAZ};
        m[QStringLiteral("Update")] = {small, drawUpdate};
        m[QStringLiteral("SortZA")] = {small, drawSortZA};
        m[QStringLiteral("Main")] = {s16, drawMain};
        m[QStringLiteral("Alarm")] = {s16, drawAlarm};
        m[QStringLiteral("Chart")] = {s16, drawChart};
        m[QStringLiteral("PicEdit")] = {s16, drawPicEdit};
        m[QStringLiteral("SaveQuestion")] = {s16, drawSaveQuestion};
        m[QStringLiteral("MonthGrid")] = {s32, drawMonthGrid};
        m[QStringLiteral("Question")] = {s32, drawQuestion};
        return m;
    }();
    return all;
}

} // namespace

QStringList drawingNames() {
    QStringList names;
    for (const auto& [name, entry] : drawings())
        names << name;
    return names;
}

QSize drawingSize(const QString& name) {
    return drawings().at(name).first;
}

QImage renderDrawing(const QString& name, Look look, int scale) {
    const auto& [size, draw] = drawings().at(name);
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        PixelPainter p(image, look, scale);
        draw(p);
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace resgen
