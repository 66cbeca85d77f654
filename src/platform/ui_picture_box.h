#pragma once
// A picture box: a container with a persistent image. The persistent image holds the back
// colour, the Picture at the top left corner and everything painted since (PaintPicture); it
// is what Image returns. Cls, a new Picture and a new BackColor start it again from the back
// colour and the Picture. AutoSize makes the box take its Picture's size.
//
// Coordinates of the drawing methods and of mouse events are in the box's scale: twips
// (ScaleMode 1, the default), pixels (3), or a scale of the user's (Scale, ScaleMode 0).

#include "picture.h"
#include "ui_control.h"

#include <QImage>
#include <optional>

namespace rt {

enum ScaleModeValue : int { vbUser = 0, vbTwips = 1, vbPixels = 3 };
enum RasterOp : int32_t {
    vbSrcCopy = 0xCC0020,
    vbSrcAnd = 0x8800C6,
    vbSrcPaint = 0xEE0086,
    vbSrcInvert = 0x660046,
};

class PictureBox : public Control, public Container {
public:
    explicit PictureBox(Container& parent, const QString& name = {}, int index = -1);

    QWidget* clientWidget() const override;
    Form* form() const override { return Control::form(); }

    bool AutoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    // 0 none, 1 a sunken single border.
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    const rt::Picture& Picture() const { return picture_; }
    void setPicture(const rt::Picture& picture);
    // The persistent image, as a new picture.
    rt::Picture Image() const;

    int ScaleMode() const { return scaleMode_; }
    void setScaleMode(int mode);
    double ScaleLeft() const;
    double ScaleTop() const;
    double ScaleWidth() const;
    double ScaleHeight() const;
    // A scale of the user's: (x1, y1) is the top left corner, (x2, y2) the bottom right.
    void Scale(double x1, double y1, double x2, double y2);

    void Cls();
    // Paints a picture (or a part of it: X2, Y2, Width2, Height2) at X1, Y1 with Width1 and
    // Height1 (default: the picture's size). Every coordinate is in this box's scale.
    void PaintPicture(const rt::Picture& picture, double X1, double Y1,
                      std::optional<double> Width1 = {}, std::optional<double> Height1 = {},
                      std::optional<double> X2 = {}, std::optional<double> Y2 = {},
                      std::optional<double> Width2 = {}, std::optional<double> Height2 = {},
                      int32_t Opcode = vbSrcCopy);

    // For drawing methods: the persistent image and the box's scale in pixels.
    QImage& persistentImage() { return image_; }
    QPointF toPixels(double x, double y) const;
    double toPixelsX(double width) const;
    double toPixelsY(double height) const;
    // The persistent image changed: repaint.
    void imageChanged();

    std::function<void()> onResize;
    std::function<void()> onPaint;

protected:
    bool clicksOnMouseUp() const override { return true; }
    void pushGeometry() override;
    void pushColors() override;
    QPointF toScale(QPointF pixels) const override;

private:
    void resetImage();
    int borderWidth() const { return borderStyle_ == 1 ? 2 : 0; }
    QSize clientSize() const;

    bool autoRedraw_ = false;
    bool autoSize_ = false;
    int borderStyle_ = 1;
    rt::Picture picture_ = rt::Picture::empty();
    int scaleMode_ = vbTwips;
    double scaleLeft_ = 0, scaleTop_ = 0, scaleWidth_ = 0, scaleHeight_ = 0; // user scale
    QImage image_;
    QWidget* frame_;
    QWidget* client_;
};

} // namespace rt
