#include "ui_picture_box.h"

#include "core/rt_error.h"
#include "ui_dispatch.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>

namespace rt {

namespace {

class PictureFrameWidget : public QWidget {
public:
    explicit PictureFrameWidget(PictureBox* box) : box_(box) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (box_->BorderStyle() != 1) return;
        QPainter p(this);
        const QRect r = rect();
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::Shadow));
        p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
        p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    }

private:
    PictureBox* box_;
};

class PictureClientWidget : public QWidget {
public:
    explicit PictureClientWidget(PictureBox* box, QWidget* parent) : QWidget(parent), box_(box) {
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        box_->drawImage(p);
        if (box_->onPaint) dispatch(box_->onPaint);
    }

private:
    PictureBox* box_;
};

// A surface is at least one pixel each way.
QSize surfaceSizeOf(QSize size) {
    return QSize(std::max(1, size.width()), std::max(1, size.height()));
}

// The persistent image works at the screen's 96 dots per inch, whatever Qt's default is.
QImage surface(QSize size) {
    QImage image(surfaceSizeOf(size), QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

// What text is measured against: a surface's dots per inch, without a surface of the box's size.
const QImage& metricsDevice() {
    static const QImage device = surface(QSize(1, 1));
    return device;
}

// Pixels per unit of the fixed scale modes; 0 for the user's scale and unknown modes.
double pixelsPerUnit(int mode) {
    switch (mode) {
    case vbTwips:
        return 1.0 / kTwipsPerPixel;
    case vbPoints:
        return 96.0 / 72.0;
    case vbPixels:
        return 1.0;
    case vbInches:
        return 96.0;
    case vbMillimeters:
        return 96.0 / 25.4;
    case vbCentimeters:
        return 96.0 / 2.54;
    case vbHimetric:
        return 96.0 / 2540.0;
    default:
        return 0;
    }
}

} // namespace

PictureBox::PictureBox(Container& parent, const QString& name, int index)
    : Control(ControlKind::PictureBox, parent, name, index) {
    frame_ = new PictureFrameWidget(this);
    client_ = new PictureClientWidget(this, frame_);
    attachWidget(frame_);
    addEventSource(client_);
    resetImage();
}

QWidget* PictureBox::clientWidget() const {
    return client_;
}

QSize PictureBox::clientSize() const {
    const QRect r = TwipsToPixels(Left(), Top(), Width(), Height());
    return QSize(std::max(0, r.width() - 2 * borderWidth()),
                 std::max(0, r.height() - 2 * borderWidth()));
}

void PictureBox::pushGeometry() {
    Control::pushGeometry();
    if (!client_) return;
    const QSize size = clientSize();
    client_->setGeometry(borderWidth(), borderWidth(), size.width(), size.height());
    // A box of no size still has a surface of one pixel: it is told of a resize each time.
    if (surfaceSize_ != size) {
        surfaceSize_ = surfaceSizeOf(size);
        // The persistent image keeps what it holds; new parts take the back colour. Without a
        // surface the image follows the size by itself.
        if (!image_.isNull()) {
            QImage grown = surface(size);
            grown.fill(ToQColor(BackColor()));
            QPainter p(&grown);
            p.drawImage(QPoint(0, 0), image_);
            p.end();
            image_ = grown;
        }
        if (onResize) onResize();
    }
}

void PictureBox::pushColors() {
    Control::pushColors();
    if (client_) resetImage();
}

void PictureBox::pushForeColor() {
    // The colour of what is drawn next: the image stays.
    Control::pushColors();
}

void PictureBox::resetImage() {
    surfaceSize_ = surfaceSizeOf(clientSize());
    image_ = QImage();
    imageChanged();
}

QImage PictureBox::composedImage() const {
    QImage image = surface(surfaceSize_);
    image.fill(ToQColor(BackColor()));
    if (!picture_.isEmpty()) {
        QPainter p(&image);
        p.drawImage(QPoint(0, 0), picture_.image());
    }
    return image;
}

QImage& PictureBox::persistentImage() {
    if (image_.isNull()) image_ = composedImage();
    return image_;
}

void PictureBox::drawImage(QPainter& p) const {
    if (!image_.isNull()) {
        p.drawImage(QPoint(0, 0), image_);
        return;
    }
    p.fillRect(QRect(QPoint(0, 0), surfaceSize_), ToQColor(BackColor()));
    if (picture_.isEmpty()) return;
    const QImage& picture = picture_.image();
    const QRect area = QRect(QPoint(0, 0), picture.size()) & QRect(QPoint(0, 0), surfaceSize_);
    if (!picture.hasAlphaChannel()) {
        p.drawImage(area.topLeft(), picture, area);
        return;
    }
    // A picture with transparency is blended over the back colour on a surface as it would be
    // on the persistent image, only over the picture's own area.
    QImage blended = surface(area.size());
    blended.fill(ToQColor(BackColor()));
    QPainter(&blended).drawImage(QPoint(0, 0), picture, area);
    p.drawImage(area.topLeft(), blended);
}

void PictureBox::imageChanged() {
    if (client_) client_->update();
}

void PictureBox::setAutoSize(bool on) {
    autoSize_ = on;
    if (on) setPicture(picture_);
}

void PictureBox::setBorderStyle(int style) {
    if (style < 0 || style > 1) rt::raise(ErrInvalidProperty);
    borderStyle_ = style;
    pushGeometry();
    widget()->update();
}

void PictureBox::setPicture(const rt::Picture& picture) {
    picture_ = picture;
    if (autoSize_ && !picture.isEmpty())
        setGeometryTwips(Left(), Top(), PixelsToTwips(picture.width() + 2 * borderWidth()),
                         PixelsToTwips(picture.height() + 2 * borderWidth()));
    resetImage();
}

rt::Picture PictureBox::Image() const {
    return rt::Picture::fromImage(image_.isNull() ? composedImage() : image_);
}

void PictureBox::setScaleMode(int mode) {
    if (mode != vbUser && mode != vbTwips && mode != vbPixels) rt::raise(ErrInvalidProperty);
    if (mode == vbUser && scaleMode_ != vbUser) {
        scaleLeft_ = ScaleLeft();
        scaleTop_ = ScaleTop();
        scaleWidth_ = ScaleWidth();
        scaleHeight_ = ScaleHeight();
    }
    scaleMode_ = mode;
}

double PictureBox::ScaleLeft() const {
    return scaleMode_ == vbUser ? scaleLeft_ : 0;
}
double PictureBox::ScaleTop() const {
    return scaleMode_ == vbUser ? scaleTop_ : 0;
}

double PictureBox::ScaleWidth() const {
    const int px = clientSize().width();
    if (scaleMode_ == vbUser) return scaleWidth_;
    return scaleMode_ == vbPixels ? px : PixelsToTwips(px);
}

double PictureBox::ScaleHeight() const {
    const int px = clientSize().height();
    if (scaleMode_ == vbUser) return scaleHeight_;
    return scaleMode_ == vbPixels ? px : PixelsToTwips(px);
}

void PictureBox::Scale(double x1, double y1, double x2, double y2) {
    if (x2 == x1 || y2 == y1) rt::raise(ErrInvalidCall);
    scaleMode_ = vbUser;
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = x2 - x1;
    scaleHeight_ = y2 - y1;
}

double PictureBox::toPixelsX(double width) const {
    switch (scaleMode_) {
    case vbPixels:
        return width;
    case vbUser:
        return width * clientSize().width() / scaleWidth_;
    default:
        return width / kTwipsPerPixel;
    }
}

double PictureBox::toPixelsY(double height) const {
    switch (scaleMode_) {
    case vbPixels:
        return height;
    case vbUser:
        return height * clientSize().height() / scaleHeight_;
    default:
        return height / kTwipsPerPixel;
    }
}

QPointF PictureBox::toPixels(double x, double y) const {
    return QPointF(toPixelsX(x - ScaleLeft()), toPixelsY(y - ScaleTop()));
}

QPointF PictureBox::toScale(QPointF pixels) const {
    // Mouse positions arrive in the frame's pixels; the scale starts inside the border.
    const double x = pixels.x() - borderWidth(), y = pixels.y() - borderWidth();
    switch (scaleMode_) {
    case vbPixels:
        return QPointF(x, y);
    case vbUser:
        return QPointF(ScaleLeft() + x * scaleWidth_ / std::max(1, clientSize().width()),
                       ScaleTop() + y * scaleHeight_ / std::max(1, clientSize().height()));
    default:
        return QPointF(x * kTwipsPerPixel, y * kTwipsPerPixel);
    }
}

void PictureBox::Cls() {
    resetImage();
    currentX_ = ScaleLeft();
    currentY_ = ScaleTop();
}

// ---- Drawing

void PictureBox::setFillStyle(int style) {
    if (style < vbFSSolid || style > 7) rt::raise(ErrInvalidProperty);
    fillStyle_ = style;
}

QPoint PictureBox::pixelOf(double x, double y) const {
    const QPointF p = toPixels(x, y);
    return QPoint(int(std::floor(p.x() + 0.5)), int(std::floor(p.y() + 0.5)));
}

void PictureBox::Line(double X1, double Y1, double X2, double Y2, std::optional<OleColor> Color,
                      LineShape Shape) {
    const QColor colour = ToQColor(Color.value_or(ForeColor()));
    const QPoint a = pixelOf(X1, Y1), b = pixelOf(X2, Y2);
    const QRect box = QRect(a, b).normalized();
    QPainter p(&persistentImage());
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (Shape) {
    case LineShape::FilledBox:
        p.fillRect(box, colour);
        break;
    case LineShape::Box:
        p.setPen(QPen(colour, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(box.left(), box.top(), box.width() - 1, box.height() - 1));
        break;
    default:
        p.setPen(QPen(colour, 0));
        p.drawLine(a, b);
        break;
    }
    p.end();
    imageChanged();
}

void PictureBox::Circle(double X, double Y, double Radius, std::optional<OleColor> Color) {
    const QPointF centre = toPixels(X, Y);
    const double r = std::abs(toPixelsX(Radius));
    QPainter p(&persistentImage());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ToQColor(Color.value_or(ForeColor())), 0));
    if (fillStyle_ == vbFSSolid)
        p.setBrush(ToQColor(fillColor_));
    else
        p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, r, r);
    p.end();
    imageChanged();
}

// Text is laid out at eight times its size and drawn scaled down, so that its width follows
// the font size exactly (glyphs are otherwise rendered at whole pixel sizes, and a small or
// zoomed font would come out a few percent too wide or too narrow).
PictureBox::DrawingFont PictureBox::drawingFont() const {
    QFont font = currentFont();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 8.25;
    const double pixels = points * 96.0 / 72.0;
    const int large = std::max(1, int(std::lround(pixels * 8)));
    font.setPixelSize(large);
    font.setHintingPreference(QFont::PreferNoHinting);
    return {font, pixels / large};
}

void PictureBox::Print(const QString& text) {
    const DrawingFont f = drawingFont();
    const QFontMetricsF metrics(f.font, &metricsDevice());
    const QPointF at = toPixels(currentX_, currentY_);
    QPainter p(&persistentImage());
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.translate(at);
    p.scale(f.factor, f.factor);
    if (!fontTransparent_)
        p.fillRect(QRectF(0, 0, metrics.horizontalAdvance(text), metrics.height()),
                   ToQColor(BackColor()));
    p.setFont(f.font);
    p.setPen(ToQColor(ForeColor()));
    p.drawText(QPointF(0, metrics.ascent()), text);
    p.end();
    imageChanged();
    currentX_ = ScaleLeft();
    currentY_ += TextHeight(text);
}

double PictureBox::TextWidth(const QString& text) const {
    const DrawingFont f = drawingFont();
    const QFontMetricsF metrics(f.font, &metricsDevice());
    return ScaleX(metrics.horizontalAdvance(text) * f.factor, vbPixels, scaleMode_);
}

double PictureBox::TextHeight(const QString& text) const {
    const DrawingFont f = drawingFont();
    const QFontMetricsF metrics(f.font, &metricsDevice());
    const int lines = std::max<int>(1, int(text.count(QLatin1Char('\n'))) + 1);
    return ScaleY(metrics.height() * f.factor * lines, vbPixels, scaleMode_);
}

double PictureBox::ScaleX(double value, int fromScale, int toScale) const {
    const double px = fromScale == vbUser ? toPixelsX(value) : value * pixelsPerUnit(fromScale);
    if (toScale == vbUser) return px / toPixelsX(1.0);
    const double per = pixelsPerUnit(toScale);
    if (per == 0) rt::raise(ErrInvalidCall);
    return px / per;
}

double PictureBox::ScaleY(double value, int fromScale, int toScale) const {
    const double px = fromScale == vbUser ? toPixelsY(value) : value * pixelsPerUnit(fromScale);
    if (toScale == vbUser) return px / toPixelsY(1.0);
    const double per = pixelsPerUnit(toScale);
    if (per == 0) rt::raise(ErrInvalidCall);
    return px / per;
}

void PictureBox::PaintPicture(const rt::Picture& picture, double X1, double Y1,
                              std::optional<double> Width1, std::optional<double> Height1,
                              std::optional<double> X2, std::optional<double> Y2,
                              std::optional<double> Width2, std::optional<double> Height2,
                              int32_t Opcode) {
    if (!picture.hasObject()) rt::raise(ErrInvalidPicture);
    if (picture.isEmpty()) return;
    const QImage& src = picture.image();
    const QPointF at = toPixels(X1, Y1);
    const double w1 = Width1 ? toPixelsX(*Width1) : src.width();
    const double h1 = Height1 ? toPixelsY(*Height1) : src.height();
    const double sx = X2 ? toPixelsX(*X2) : 0;
    const double sy = Y2 ? toPixelsY(*Y2) : 0;
    const double sw = Width2 ? toPixelsX(*Width2) : src.width() - sx;
    const double sh = Height2 ? toPixelsY(*Height2) : src.height() - sy;
    if (w1 == 0 || h1 == 0 || sw == 0 || sh == 0) return;
    QPainter p(&persistentImage());
    switch (Opcode) {
    case vbSrcAnd:
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case vbSrcPaint:
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case vbSrcInvert:
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRectF(at.x(), at.y(), w1, h1), src.convertToFormat(QImage::Format_RGB32),
                QRectF(sx, sy, sw, sh));
    p.end();
    imageChanged();
}

} // namespace rt
