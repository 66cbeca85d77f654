#pragma once
// The printing engine: one object per printed or previewed document. It draws a page in
// centimetres measured from the paper's top left corner on a canvas, a picture box of the
// caller's window that covers the printable area, at screen resolution.
//  - Printer mode (1): cmPrt_DocStart opens a print job on the printer's device; each page runs
//    cmPrinter_PageStart, the drawing, cmPrinter_PageEnd, which copies the canvas stretched over
//    the device's whole printable area; cmPrt_DocEnd ends the job.
//  - Preview mode (0): the canvas sits in a page box of the paper's size times the zoom (the
//    Scale); cmPrt_DocEnd shows both boxes with the page drawn.
// No run-time error leaves the engine: each member reports its own failure in a message box
// with Abort, Retry and Ignore (Retry runs the failed step again, Ignore goes on with the next
// one) and returns false (0) after Abort.

#include "core/picture.h"
#include "platform/common_dialogs.h"
#include "platform/ui_picture_box.h"

#include <QString>
#include <cstdint>

class cmAPIPrinter {
public:
    cmAPIPrinter();
    // Ends a document still open (a print job is ended, not lost).
    virtual ~cmAPIPrinter();
    cmAPIPrinter(const cmAPIPrinter&) = delete;
    cmAPIPrinter& operator=(const cmAPIPrinter&) = delete;

    // The size in points of a font Cm centimetres high on the screen.
    virtual int16_t cmConv_HeightToPoints(float Cm);

    // ---- Drawing, in page centimetres; line widths in hundredths of a centimetre (0: one
    // pixel); font sizes in points, multiplied by the Scale ----
    virtual bool cmOutput_PrintBox(float Left, float Top, float Width, float Height, bool Filled,
                                   int32_t Color, int32_t LineWidth);
    virtual bool cmOutput_PrintCircle(float X, float Y, float Radius, bool Filled, int32_t Color);
    virtual bool cmOutput_PrintLine(float X1, float Y1, float X2, float Y2, int32_t Color,
                                    int32_t LineWidth);
    // Pic is replaced by a bitmap of the picture at its natural size on white; WorkPic is a
    // picture box the member may resize and clear, and leaves empty.
    virtual bool cmOutput_PrintPicture(float Left, float Top, float Width, float Height,
                                       rt::Picture& Pic, rt::PictureBox& WorkPic, bool Stretch,
                                       bool Tile);
    virtual bool cmOutput_PrintText(float X, float Y, const QString& Text, int32_t Color,
                                    const QString& FontName, float FontSize, bool Bold, bool Italic,
                                    bool Strikethru, bool Underline, bool AlignRight, bool Centre,
                                    float Width);

    // ---- The page, in centimetres, while a document is open (0 otherwise) ----
    virtual float cmPage_MLeft() const;
    virtual float cmPage_MTop() const;
    virtual float cmPage_OHeight() const;
    virtual float cmPage_OWidth() const;
    virtual float cmPage_PHeight() const;
    virtual float cmPage_PWidth() const;

    // ---- Pages and document ----
    void cmPrinter_PageEnd();
    void cmPrinter_PageStart();
    bool cmPrt_DocEnd();
    bool cmPrt_DocStart(int32_t hDC, const QString& DocName, int32_t Mode, float Scale,
                        rt::PictureBox& PicPage, rt::PictureBox& PicCanvas);
    // The printer set-up dialog (Mode: the orientation, 1 portrait, 2 landscape); the device
    // of the printer chosen, 0 when the user cancelled.
    int32_t cmPrt_SetupPrinter(rt::CommonDialog& Dlg, int32_t Mode);

    // ---- State, for the callers' checks ----
    int32_t mode() const { return Mode; }
    float scale() const { return Scale; }
    int32_t deviceContext() const { return hDC; }
    int32_t jobStarted() const { return DocStarted; }

private:
    struct PrtErrorRec {
        QString Source;
        int32_t Number = 0;
        QString Description;
    };

    // Runs one step of a member. A run-time error shows the message: Retry runs the step
    // again, Ignore goes on (true), Abort returns false.
    template <class Step> bool step(PrtErrorRec& Err, const char* Member, Step&& Fn);
    void cmPrinter_DrawOutPic();
    void cmPrt_ErrClear(PrtErrorRec& Err);
    int32_t cmPrt_ErrShow(PrtErrorRec& Err);
    // The boxes, or run-time error 91 when the engine holds none.
    rt::PictureBox& canvas() const;
    rt::PictureBox& page() const;
    // Run-time error 5 unless a document is open.
    void requireDocument() const;

    int32_t Mode = 0;
    rt::PictureBox* PicPage = nullptr;
    rt::PictureBox* PicCanvas = nullptr;
    float Scale = 1.0f;
    float MTop = 0, MLeft = 0, PHeight = 0, PWidth = 0, OHeight = 0, OWidth = 0;
    int32_t DocStarted = 0;
    int32_t hDC = 0;
};
