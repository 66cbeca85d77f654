#include "api_printer.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "platform/printers.h"
#include "platform/ui_units.h"
#include "printing.h"
#include "services/main_window.h"

#include <cmath>
#include <new>

namespace {

constexpr float kCmPerInch = 0.3937008f; // inches per centimetre, as the page measures use it
constexpr double kTwipsPerCm = 1440.0 / 2.54;
constexpr int32_t kWhite = 0xFFFFFF;

// A length in centimetres as whole twips at a scale.
int twipsOf(double cm, double scale) {
    return int(std::lround(cm * kTwipsPerCm * scale));
}

// A device length in device pixels at dpi dots per inch, in centimetres: the inches are
// rounded to a single first.
float cmOf(int deviceUnits, float dpi) {
    if (dpi == 0.0f) rt::raise(rt::ErrDivisionByZero);
    const float inches = float(deviceUnits) / dpi;
    return float(double(inches) / double(kCmPerInch));
}

// The failure number of the last device call on hDC; a failure is never reported as 0. A job
// that was not printed is told in the program's own words, with the printer's name and the
// printing system's reason when it gave one.
[[noreturn]] void raiseLastError(int32_t hDC) {
    const int32_t number = rt::GetLastError();
    if (number == rt::ErrJobNotPrinted) {
        const auto device = rt::deviceFromHandle(hDC);
        QString text =
            rt::LoadResString(rt::ErrJobNotPrinted).arg(device ? device->name() : QString());
        const QString reason = device ? device->lastErrorReason().trimmed() : QString();
        if (!reason.isEmpty()) text += QStringLiteral("\r\r") + reason;
        throw rt::RtError(number, text);
    }
    rt::raise(number != 0 ? number : rt::ErrInvalidCall);
}

// A picture's size in hundredths of a millimetre (pictures are at 96 dots per inch).
double himetricOf(int pixels) {
    return std::lround(pixels * 2540.0 / 96.0);
}

// Pictures are passed to the page boxes as they are set up for a page: white, no border,
// kept image, copy pen, solid lines, transparent fill and text.
void prepareBox(rt::PictureBox& box) {
    box.setAutoRedraw(true);
    box.setAutoSize(false);
    box.setBackColor(kWhite);
    box.setBorderStyle(0);
    box.setDrawMode(13);
    box.setDrawStyle(0);
    box.setFillStyle(rt::vbFSTransparent);
    box.setFontTransparent(true);
    box.setPicture(rt::Picture::empty());
    box.setScaleMode(rt::vbTwips);
    box.setVisible(false);
}

} // namespace

cmAPIPrinter::cmAPIPrinter() = default;

cmAPIPrinter::~cmAPIPrinter() {
    // Class_Terminate: a document still open is ended first.
    if (hDC != 0) cmPrt_DocEnd();
    Mode = 0;
    PicPage = nullptr;
    PicCanvas = nullptr;
    Scale = 0;
    MTop = MLeft = PHeight = PWidth = OHeight = OWidth = 0;
    DocStarted = 0;
    hDC = 0;
}

// ---- Errors

template <class Step> bool cmAPIPrinter::step(PrtErrorRec& Err, const char* Member, Step&& Fn) {
    for (;;) {
        try {
            Fn();
            return true;
        } catch (const rt::RtError& e) {
            Err.Number = e.Number;
            Err.Description = e.Description;
        } catch (const std::bad_alloc&) {
            Err.Number = rt::ErrOutOfMemory;
            Err.Description = rt::errorDescription(rt::ErrOutOfMemory);
        }
        Err.Source = QStringLiteral("cmAPIPrinter::%1()").arg(QLatin1String(Member));
        if (Err.Number == rt::ErrJobNotPrinted) {
            // The pages are gone: nothing to retry or to go on with, only the user to tell.
            rt::MsgBox(Err.Description, rt::vbOKOnly + rt::vbCritical, rt::applicationTitle());
            cmPrt_ErrClear(Err);
            return false;
        }
        const int32_t answer = cmPrt_ErrShow(Err);
        if (answer == rt::vbRetry) continue;
        if (answer == rt::vbIgnore) return true;
        cmPrt_ErrClear(Err);
        return false;
    }
}

void cmAPIPrinter::cmPrt_ErrClear(PrtErrorRec& Err) {
    Err.Source.clear();
    Err.Description.clear();
    Err.Number = 0;
}

int32_t cmAPIPrinter::cmPrt_ErrShow(PrtErrorRec& Err) {
    const QString cr(QChar(13));
    const QString text = QStringLiteral("The following error occurred while printing:") + cr + cr +
                         QStringLiteral("Number:  ") + QString::number(Err.Number) + cr +
                         QStringLiteral("Description:  ") + rt::TrimBlanks(Err.Description) + cr +
                         QStringLiteral("Source:  ") + rt::TrimBlanks(Err.Source);
    return rt::MsgBox(text, rt::vbAbortRetryIgnore + rt::vbCritical + rt::vbDefaultButton2,
                      rt::applicationTitle() + QStringLiteral(" - cmAPIPrinter error!"));
}

rt::PictureBox& cmAPIPrinter::canvas() const {
    if (!PicCanvas) rt::raise(rt::ErrObjectNotSet);
    return *PicCanvas;
}

rt::PictureBox& cmAPIPrinter::page() const {
    if (!PicPage) rt::raise(rt::ErrObjectNotSet);
    return *PicPage;
}

void cmAPIPrinter::requireDocument() const {
    if (hDC == 0) rt::raise(rt::ErrInvalidCall);
}

// ---- Conversions and page measures

int16_t cmAPIPrinter::cmConv_HeightToPoints(float Cm) {
    PrtErrorRec err;
    int16_t points = 0;
    const bool done = step(err, "cmConv_HeightToPoints", [&] {
        const float tpp = float(rt::kTwipsPerPixel);
        const float px = float(double(Cm) * 567.0 / tpp);
        const int16_t dpi = rt::CInt(1440.0 / tpp);
        const double size = std::abs(std::floor(72.0 * px / dpi));
        if (size > 32767) rt::raise(rt::ErrOverflow);
        points = int16_t(size);
    });
    return done ? points : 0;
}

float cmAPIPrinter::cmPage_MLeft() const {
    return hDC != 0 ? MLeft : 0;
}
float cmAPIPrinter::cmPage_MTop() const {
    return hDC != 0 ? MTop : 0;
}
float cmAPIPrinter::cmPage_OHeight() const {
    return hDC != 0 ? OHeight : 0;
}
float cmAPIPrinter::cmPage_OWidth() const {
    return hDC != 0 ? OWidth : 0;
}
float cmAPIPrinter::cmPage_PHeight() const {
    return hDC != 0 ? PHeight : 0;
}
float cmAPIPrinter::cmPage_PWidth() const {
    return hDC != 0 ? PWidth : 0;
}

// ---- Document and pages

bool cmAPIPrinter::cmPrt_DocStart(int32_t hDC_, const QString& DocName, int32_t Mode_, float Scale_,
                                  rt::PictureBox& PicPage_, rt::PictureBox& PicCanvas_) {
    PrtErrorRec err;
    const char* member = "cmPrt_DocStart";
    const auto S = [&](auto&& fn) { return step(err, member, fn); };

    if (!S([&] {
            if (hDC_ == 0 || (Mode_ == 0 && !(Scale_ > 0.0f && Scale_ <= 2.0f)))
                rt::raise(rt::ErrWrongArguments);
        }))
        return false;
    Mode = Mode_;
    PicPage = &PicPage_;
    PicCanvas = &PicCanvas_;
    Scale = Scale_;
    DocStarted = 0;
    hDC = hDC_;

    // The page measures from the device, in centimetres.
    float dpiX = 0, dpiY = 0;
    if (!S([&] { dpiX = float(rt::GetDeviceCaps(hDC, rt::LOGPIXELSX)); }) ||
        !S([&] { dpiY = float(rt::GetDeviceCaps(hDC, rt::LOGPIXELSY)); }) ||
        !S([&] { PHeight = cmOf(rt::GetDeviceCaps(hDC, rt::PHYSICALHEIGHT), dpiY); }) ||
        !S([&] { PWidth = cmOf(rt::GetDeviceCaps(hDC, rt::PHYSICALWIDTH), dpiX); }) ||
        !S([&] { MTop = cmOf(rt::GetDeviceCaps(hDC, rt::PHYSICALOFFSETY), dpiY); }) ||
        !S([&] { MLeft = cmOf(rt::GetDeviceCaps(hDC, rt::PHYSICALOFFSETX), dpiX); }) ||
        !S([&] { OHeight = float(rt::GetDeviceCaps(hDC, rt::VERTSIZE) / 10.0); }) ||
        !S([&] { OWidth = float(rt::GetDeviceCaps(hDC, rt::HORZSIZE) / 10.0); }))
        return false;

    // Printer mode: the job starts now; its pages start with cmPrinter_PageStart.
    if (Mode == 1) {
        Scale = 1.0f;
        if (!S([&] {
                const int32_t job = rt::StartDoc(hDC, DocName);
                if (job <= 0) raiseLastError(hDC);
                DocStarted = job;
            }))
            return false;
    }

    // The page box: the paper at the scale, one user unit a centimetre.
    if (!S([&] { prepareBox(page()); }) || !S([&] { page().Cls(); })) return false;
    rt::DoEvents();
    if (!S([&] { page().setWidth(twipsOf(PWidth, Scale)); }) ||
        !S([&] { page().setHeight(twipsOf(PHeight, Scale)); }) ||
        !S([&] { page().Scale(0, 0, PWidth, PHeight); }))
        return false;

    // The canvas over the printable area, in the same centimetres. It lies in the page box
    // (the window that owns both boxes places it there).
    if (!S([&] { prepareBox(canvas()); }) || !S([&] { canvas().Cls(); })) return false;
    rt::DoEvents();
    if (!S([&] {
            canvas().Move(twipsOf(MLeft, Scale), twipsOf(MTop, Scale), twipsOf(OWidth, Scale),
                          twipsOf(OHeight, Scale));
        }) ||
        !S([&] { canvas().Scale(MLeft, MTop, MLeft + OWidth, MTop + OHeight); }))
        return false;
    return true;
}

void cmAPIPrinter::cmPrinter_PageStart() {
    if (Mode == 0) return;
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmPrinter_PageStart", fn); };
    if (!S([&] { requireDocument(); })) return;
    if (!S([&] {
            if (DocStarted == 0) rt::raise(rt::ErrInvalidCall);
        }))
        return;
    S([&] {
        if (rt::StartPage(hDC) < 1) raiseLastError(hDC);
    });
}

void cmAPIPrinter::cmPrinter_PageEnd() {
    if (Mode == 0) return;
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmPrinter_PageEnd", fn); };
    if (!S([&] { requireDocument(); })) return;
    if (!S([&] {
            if (DocStarted == 0) rt::raise(rt::ErrInvalidCall);
        }))
        return;
    // The drawing becomes the canvas's picture, which goes onto the page.
    if (!S([&] {
            canvas().setPicture(canvas().Image());
            canvas().setAutoRedraw(false);
        }))
        return;
    cmPrinter_DrawOutPic();
    // The canvas is made ready for the next page.
    if (!S([&] {
            canvas().setPicture(rt::Picture::empty());
            canvas().setAutoRedraw(true);
            canvas().Cls();
        }))
        return;
    S([&] {
        if (rt::EndPage(hDC) < 1) raiseLastError(hDC);
    });
}

void cmAPIPrinter::cmPrinter_DrawOutPic() {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmPrinter_DrawOutPic", fn); };
    if (!S([&] { requireDocument(); }) || !S([&] {
            if (Mode == 0) rt::raise(rt::ErrInvalidCall);
        }) ||
        !S([&] {
            if (DocStarted == 0) rt::raise(rt::ErrInvalidCall);
        }))
        return;
    // The whole canvas bitmap stretched over the whole printable area of the page.
    S([&] {
        const QImage bitmap = canvas().Picture().image();
        const int horzRes = rt::GetDeviceCaps(hDC, rt::HORZRES);
        const int vertRes = rt::GetDeviceCaps(hDC, rt::VERTRES);
        rt::StretchBlt(hDC, 0, 0, horzRes, vertRes, bitmap, 0, 0, bitmap.width(), bitmap.height());
    });
}

bool cmAPIPrinter::cmPrt_DocEnd() {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmPrt_DocEnd", fn); };
    const auto finish = [&](bool result) {
        cmPrt_ErrClear(err);
        hDC = 0;
        DocStarted = 0;
        return result;
    };
    if (!S([&] { requireDocument(); })) return finish(false);
    if (Mode != 0) {
        if (!S([&] {
                if (DocStarted == 0) rt::raise(rt::ErrInvalidCall);
            }) ||
            !S([&] {
                if (rt::EndDoc(hDC) < 1) raiseLastError(hDC);
            }))
            return finish(false);
    } else {
        // The preview: both boxes shown, the page drawn in the canvas.
        if (!S([&] { canvas().setPicture(canvas().Image()); })) return finish(false);
        rt::DoEvents();
        if (!S([&] {
                canvas().setAutoRedraw(false);
                canvas().setVisible(true);
            }) ||
            !S([&] {
                page().setAutoRedraw(false);
                page().setVisible(true);
            }))
            return finish(false);
        PicCanvas = nullptr;
        PicPage = nullptr;
    }
    return finish(true);
}

int32_t cmAPIPrinter::cmPrt_SetupPrinter(rt::CommonDialog& Dlg, int32_t Mode_) {
    PrtErrorRec err;
    int32_t device = 0;
    bool cancelled = false;
    const bool done = step(err, "cmPrt_SetupPrinter", [&] {
        Dlg.Flags = rt::cdlPDPrintSetup | rt::cdlPDReturnDC;
        Dlg.PrinterDefault = false;
        Dlg.CancelError = true;
        Dlg.Orientation = Mode_;
        try {
            Dlg.ShowPrinter();
        } catch (const rt::RtError& e) {
            if (e.Number != rt::ErrCancel) throw;
            cancelled = true;
            return;
        }
        device = Dlg.hDC;
    });
    return done && !cancelled ? device : 0;
}

// ---- Drawing

bool cmAPIPrinter::cmOutput_PrintBox(float Left, float Top, float Width, float Height, bool Filled,
                                     int32_t Color, int32_t LineWidth) {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmOutput_PrintBox", fn); };
    if (!S([&] { requireDocument(); })) return false;
    const float Right = Left + Width;
    const float Bottom = Top + Height;
    if (Filled)
        return S([&] { canvas().Line(Left, Top, Right, Bottom, Color, rt::LineShape::FilledBox); });
    if (LineWidth != 0) {
        // Four bars: top, left, right, bottom; each reports its own failure.
        cmOutput_PrintLine(Left, Top, Right, Top, Color, LineWidth);
        cmOutput_PrintLine(Left, Top, Left, Bottom, Color, LineWidth);
        cmOutput_PrintLine(Right, Top, Right, Bottom, Color, LineWidth);
        cmOutput_PrintLine(Left, Bottom, Right, Bottom, Color, LineWidth);
        return true;
    }
    return S([&] { canvas().Line(Left, Top, Right, Bottom, Color, rt::LineShape::Box); });
}

bool cmAPIPrinter::cmOutput_PrintLine(float X1, float Y1, float X2, float Y2, int32_t Color,
                                      int32_t LineWidth) {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmOutput_PrintLine", fn); };
    if (!S([&] { requireDocument(); })) return false;
    if (LineWidth != 0) {
        // A bar LineWidth hundredths of a centimetre thick, reaching half of it past each end.
        const double h = LineWidth / 100.0 / 2.0;
        return S([&] {
            canvas().Line(float(X1 - h), float(Y1 - h), float(X2 + h), float(Y2 + h), Color,
                          rt::LineShape::FilledBox);
        });
    }
    return S([&] { canvas().Line(X1, Y1, X2, Y2, Color); });
}

bool cmAPIPrinter::cmOutput_PrintCircle(float X, float Y, float Radius, bool Filled,
                                        int32_t Color) {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmOutput_PrintCircle", fn); };
    if (!S([&] { requireDocument(); })) return false;
    if (Filled && !S([&] {
            canvas().setFillColor(Color);
            canvas().setFillStyle(rt::vbFSSolid);
        }))
        return false;
    if (!S([&] { canvas().Circle(X, Y, Radius, Color); })) return false;
    // Later outlined boxes stay hollow.
    return S([&] { canvas().setFillStyle(rt::vbFSTransparent); });
}

bool cmAPIPrinter::cmOutput_PrintText(float X, float Y, const QString& Text, int32_t Color,
                                      const QString& FontName, float FontSize, bool Bold,
                                      bool Italic, bool Strikethru, bool Underline, bool AlignRight,
                                      bool Centre, float Width) {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmOutput_PrintText", fn); };
    if (!S([&] { requireDocument(); })) return false;
    // A font the system lacks is replaced by a near one (the font configuration's choice).
    if (!S([&] { canvas().setFontName(FontName); }) || !S([&] {
            canvas().setFontTransparent(true);
            canvas().setForeColor(Color);
        }) ||
        !S([&] { canvas().setFontSize(double(FontSize) * Scale); }) || !S([&] {
            canvas().setFontBold(Bold);
            canvas().setFontItalic(Italic);
            canvas().setFontStrikethru(Strikethru);
            canvas().setFontUnderline(Underline);
        }) ||
        !S([&] { canvas().setCurrentY(Y); }))
        return false;
    if (!S([&] {
            if (AlignRight)
                canvas().setCurrentX(X - canvas().TextWidth(Text));
            else if (Centre && Width != 0)
                canvas().setCurrentX(X + (Width - canvas().TextWidth(Text)) / 2);
            else
                canvas().setCurrentX(X);
        }))
        return false;
    return S([&] { canvas().Print(Text); });
}

bool cmAPIPrinter::cmOutput_PrintPicture(float Left, float Top, float Width, float Height,
                                         rt::Picture& Pic, rt::PictureBox& WorkPic, bool Stretch,
                                         bool Tile) {
    PrtErrorRec err;
    const auto S = [&](auto&& fn) { return step(err, "cmOutput_PrintPicture", fn); };
    if (!S([&] { requireDocument(); })) return false;
    // An empty picture has no size to draw or to tile by.
    if (Pic.isEmpty()) return true;

    // The picture drawn on white, as a bitmap, through the work box.
    if (!S([&] {
            WorkPic.setAutoRedraw(false);
            WorkPic.setAutoSize(true);
            WorkPic.setBackColor(kWhite);
            WorkPic.setBorderStyle(0);
            WorkPic.setPicture(Pic);
            Pic = WorkPic.Image();
            WorkPic.setPicture(rt::Picture::empty());
        }))
        return false;

    if (Stretch) return S([&] { canvas().PaintPicture(Pic, Left, Top, Width, Height); });

    // A tile of the picture at its natural size: at the zoomed number of pixels on the
    // screen, at the picture's own size in page centimetres.
    rt::Picture tile = rt::Picture::empty();
    double tileW = 0, tileH = 0;
    if (!S([&] {
            WorkPic.setAutoRedraw(false);
            WorkPic.setAutoSize(false);
            WorkPic.setBackColor(kWhite);
            WorkPic.setBorderStyle(0);
            WorkPic.setPicture(rt::Picture::empty());
        }) ||
        !S([&] {
            WorkPic.setWidth(int(std::lround(
                WorkPic.ScaleX(himetricOf(Pic.width()), rt::vbHimetric, rt::vbTwips) * Scale)));
            WorkPic.setHeight(int(std::lround(
                WorkPic.ScaleY(himetricOf(Pic.height()), rt::vbHimetric, rt::vbTwips) * Scale)));
        }) ||
        !S([&] {
            WorkPic.Cls();
            WorkPic.setAutoRedraw(true);
            WorkPic.PaintPicture(Pic, 0, 0, WorkPic.ScaleWidth(), WorkPic.ScaleHeight());
            WorkPic.setPicture(WorkPic.Image());
            WorkPic.setAutoRedraw(false);
        }) ||
        !S([&] {
            tile = WorkPic.Picture();
            WorkPic.setPicture(rt::Picture::empty());
            WorkPic.Cls();
        }) ||
        !S([&] {
            tileW = canvas().ScaleX(WorkPic.ScaleWidth(), WorkPic.ScaleMode(), rt::vbUser);
            tileH = canvas().ScaleY(WorkPic.ScaleHeight(), WorkPic.ScaleMode(), rt::vbUser);
        }))
        return false;

    const float right = Left + Width;
    const float bottom = Top + Height;
    const float stepX = float(tileW), stepY = float(tileH);
    if (Tile) {
        // Columns from left to right, each from top to bottom; the pattern starts at the top
        // left corner and is cut at the right and bottom edges.
        if (stepX > 0 && stepY > 0) {
            for (float x = Left; x <= right; x += stepX) {
                for (float y = Top; y <= bottom; y += stepY) {
                    const bool lastColumn = x + stepX >= right;
                    const bool lastRow = y + stepY >= bottom;
                    const float w = lastColumn ? right - x : stepX;
                    const float h = lastRow ? bottom - y : stepY;
                    if (!S([&] { canvas().PaintPicture(tile, x, y, w, h, 0.0, 0.0, w, h); }))
                        return false;
                    rt::DoEvents();
                }
            }
        }
    } else {
        // Once, at the top left corner, cut to the rectangle.
        const float w = Width < stepX ? Width : stepX;
        const float h = Height < stepY ? Height : stepY;
        if (!S([&] { canvas().PaintPicture(tile, Left, Top, w, h, 0.0, 0.0, w, h); })) return false;
    }
    return true;
}

int32_t SetupPrinter(int32_t Orientation) {
    cmAPIPrinter printer;
    return printer.cmPrt_SetupPrinter(mainWindow().FileDialog(FileDialogKind::Print), Orientation);
}
