#pragma once
// A picture box: a container with a persistent image. The persistent image holds the back
// colour, the Picture at the top left corner and everything painted since (PaintPicture); it
// is what Image returns. Cls, a new Picture and a new BackColor start it again from the back
// colour and the Picture. AutoSize makes the box take its Picture's size.
//
// A box on which nothing has been painted since it was last cleared keeps no surface: its
// image is the back colour and the Picture, drawn as it is shown and composed when asked for.
// The surface is made by the first drawing and dropped by the next clear.
//
// Coordinates of the drawing methods and of mouse events are in the box's scale: twips
// (ScaleMode 1, the default), pixels (3), or a scale of the user's (Scale, ScaleMode 0).
//
// The drawing methods (Line, Circle, Print) paint into the persistent image with the box's
// colours and font; lines are one pixel wide. The image works at 96 dots per inch, so a font
// of n points is n * 96 / 72 pixels high.

#include "core/picture.h"
#include "ui_control.h"

#include <QFont>
#include <QImage>
#include <optional>

class QPainter;

namespace rt {

enum ScaleModeValue : int {
    vbUser = 0,
    vbTwips = 1,
    vbPoints = 2,
    vbPixels = 3,
    vbInches = 5,
    vbMillimeters = 6,
    vbCentimeters = 7,
    vbHimetric = 8, // hundredths of a millimetre: the unit of a picture's size
};
enum FillStyleValue : int { vbFSSolid = 0, vbFSTransparent = 1 };
// The three shapes of Line: a line, an outlined box (B) and a box filled with the line's
// colour (BF).
enum class LineShape { Line, Box, FilledBox };
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

    // Clears the persistent image to the back colour and the Picture; CurrentX and CurrentY go
    // to the top left corner of the scale.
    void Cls();

    // ---- Drawing ----
    OleColor FillColor() const { return fillColor_; }
    void setFillColor(OleColor color) { fillColor_ = color; }
    int FillStyle() const { return fillStyle_; }
    void setFillStyle(int style);
    // Text drawn over what lies beneath (true) or on a box of the back colour (false).
    bool FontTransparent() const { return fontTransparent_; }
    void setFontTransparent(bool on) { fontTransparent_ = on; }
    // Kept for callers: drawing always copies the pen (13) with solid lines (0).
    int DrawMode() const { return drawMode_; }
    void setDrawMode(int mode) { drawMode_ = mode; }
    int DrawStyle() const { return drawStyle_; }
    void setDrawStyle(int style) { drawStyle_ = style; }
    // Where the next text goes, in the box's scale.
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }

    // A line, an outlined box or a filled box between two corners (both included), in Color
    // (default: ForeColor). The outlined box keeps its inside.
    void Line(double X1, double Y1, double X2, double Y2, std::optional<OleColor> Color = {},
              LineShape Shape = LineShape::Line);
    // A circle around (X, Y); the radius is measured across. Its outline is in Color (default:
    // ForeColor); its inside is painted in FillColor when FillStyle is solid.
    void Circle(double X, double Y, double Radius, std::optional<OleColor> Color = {});
    // Writes a line of text with its top at CurrentY, starting at CurrentX, in ForeColor and
    // the box's font; then CurrentX returns to the left of the scale and CurrentY moves down
    // one line.
    void Print(const QString& text);
    // The size the text takes in the box's font, in the box's scale.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;
    // A width or height converted from one scale mode to another (vbUser: this box's scale).
    double ScaleX(double value, int fromScale, int toScale) const;
    double ScaleY(double value, int fromScale, int toScale) const;
    // Paints a picture (or a part of it: X2, Y2, Width2, Height2) at X1, Y1 with Width1 and
    // Height1 (default: the picture's size). Every coordinate is in this box's scale.
    void PaintPicture(const rt::Picture& picture, double X1, double Y1,
                      std::optional<double> Width1 = {}, std::optional<double> Height1 = {},
                      std::optional<double> X2 = {}, std::optional<double> Y2 = {},
                      std::optional<double> Width2 = {}, std::optional<double> Height2 = {},
                      int32_t Opcode = vbSrcCopy);

    // For drawing methods: the persistent image (made for drawing if the box had none) and the
    // box's scale in pixels.
    QImage& persistentImage();
    // Whether the box holds a surface of its own: something was painted since the last clear.
    bool holdsSurface() const { return !image_.isNull(); }
    // Draws the box's image onto p at the origin: the surface, or the back colour and the
    // Picture when the box holds none.
    void drawImage(QPainter& p) const;
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
    void pushForeColor() override;
    QPointF toScale(QPointF pixels) const override;

private:
    void resetImage();
    // The back colour and the Picture at the surface's size, as a new image.
    QImage composedImage() const;
    int borderWidth() const { return borderStyle_ == 1 ? 2 : 0; }
    QSize clientSize() const;

    QPoint pixelOf(double x, double y) const;
    struct DrawingFont {
        QFont font;    // the box's font at a larger pixel size
        double factor; // what brings it back to the box's size
    };
    DrawingFont drawingFont() const;

    bool autoRedraw_ = false;
    bool autoSize_ = false;
    int borderStyle_ = 1;
    rt::Picture picture_ = rt::Picture::empty();
    int scaleMode_ = vbTwips;
    double scaleLeft_ = 0, scaleTop_ = 0, scaleWidth_ = 0, scaleHeight_ = 0; // user scale
    OleColor fillColor_ = vbBlack;
    int fillStyle_ = vbFSTransparent;
    bool fontTransparent_ = true;
    int drawMode_ = 13;
    int drawStyle_ = 0;
    double currentX_ = 0, currentY_ = 0;
    QImage image_;      // null while nothing has been painted since the last clear
    QSize surfaceSize_; // the size of the image, held or not
    QWidget* frame_;
    QWidget* client_;
};

} // namespace rt
