#include "palette.h"

#include <QColor>
#include <algorithm>
#include <array>
#include <vector>

namespace resgen {

namespace {

int distance2(QRgb a, int r, int g, int b) {
    // Weighted so that the eye's sensitivity to green counts more than to blue.
    const int dr = qRed(a) - r, dg = qGreen(a) - g, db = qBlue(a) - b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int nearest(const QList<QRgb>& palette, int r, int g, int b) {
    int best = 0, bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int d = distance2(palette[i], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Maps an image onto an opaque palette; entry palette.size() is added for transparent pixels.
QImage mapToPalette(const QImage& source, const QList<QRgb>& palette, bool dither) {
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    const int w = src.width(), h = src.height();
    QImage out(w, h, QImage::Format_Indexed8);
    QList<QRgb> table = palette;
    bool anyTransparent = false;
    for (int y = 0; y < h && !anyTransparent; ++y)
        for (int x = 0; x < w; ++x)
            if (qAlpha(src.pixel(x, y)) < 128) {
                anyTransparent = true;
                break;
            }
    const int transparent = int(table.size());
    if (anyTransparent) table.append(qRgba(0, 0, 0, 0));
    out.setColorTable(table);

    // Floyd-Steinberg error spreading over two rows of accumulated errors.
    std::vector<std::array<int, 3>> err(size_t(w) + 2), next(size_t(w) + 2);
    for (int y = 0; y < h; ++y) {
        std::fill(next.begin(), next.end(), std::array<int, 3>{0, 0, 0});
        for (int x = 0; x < w; ++x) {
            const QRgb p = src.pixel(x, y);
            if (qAlpha(p) < 128) {
                out.setPixel(x, y, uint(transparent));
                continue;
            }
            const auto& e = err[size_t(x) + 1];
            const int r = std::clamp(qRed(p) + e[0] / 16, 0, 255);
            const int g = std::clamp(qGreen(p) + e[1] / 16, 0, 255);
            const int b = std::clamp(qBlue(p) + e[2] / 16, 0, 255);
            const int index = nearest(palette, r, g, b);
            out.setPixel(x, y, uint(index));
            if (!dither) continue;
            const QRgb chosen = palette[index];
            const std::array<int, 3> d{r - qRed(chosen), g - qGreen(chosen), b - qBlue(chosen)};
            for (int c = 0; c < 3; ++c) {
                err[size_t(x) + 2][c] += d[c] * 7;
                next[size_t(x)][c] += d[c] * 3;
                next[size_t(x) + 1][c] += d[c] * 5;
                next[size_t(x) + 2][c] += d[c];
            }
        }
        std::swap(err, next);
    }
    return out;
}

} // namespace

const QList<QRgb>& vga16() {
    static const QList<QRgb> colours = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return colours;
}

QImage toVga16(const QImage& image, bool dither) {
    return mapToPalette(image, vga16(), dither);
}

QImage to256(const QImage& image) {
    // A 6 x 6 x 6 colour cube plus 40 greys: gradients of any hue keep a close neighbour, and
    // the dithering hides the steps.
    QList<QRgb> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.append(qRgb(r * 51, g * 51, b * 51));
    for (int i = 0; i < 40; ++i) {
        const int v = 6 + i * 6;
        if (v % 51 != 0) palette.append(qRgb(v, v, v));
    }
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    return mapToPalette(opaque, palette, true);
}

QImage greyed(const QImage& image) {
    QImage src = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QRgb p = src.pixel(x, y);
            const int level = (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000;
            const int light = 255 - (255 - level) * 60 / 100;
            src.setPixel(x, y, qRgba(light, light, light, qAlpha(p)));
        }
    const QList<QRgb> greys = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192),
                               qRgb(255, 255, 255)};
    return mapToPalette(src, greys, false);
}

} // namespace resgen
