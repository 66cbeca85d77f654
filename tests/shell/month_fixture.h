#pragma once
// Month-window tests: a live document of a given year with a new document's default colours,
// and day items put straight into its cells.

#include "document/doc_state.h"
#include "document/month_grid.h"
#include "shell_fixture.h"

class MonthTest : public ShellTest {
protected:
    static void newDocument(const QString& Year) {
        SetDocDefaults(CurDoc); // every month uses the default colours and background
        CurDoc.Year = Year;
    }
    static EVItem item(const QString& Text, int32_t Kind = ItemKind::Event, int16_t Checked = 0,
                       int32_t Colour = -1) {
        EVItem ev;
        ev.Text = Text;
        ev.Kind = Kind;
        ev.Checked = Checked;
        ev.Colour = Colour;
        return ev;
    }
    static DayCell& cellOf(int16_t Month, int16_t Cell) { return CurDoc.Months(Month).Cells(Cell); }
    // A picture of W x H pixels in one colour, its top left pixel marked in another.
    static rt::Picture picture(int W, int H, QColor Fill, QColor Mark) {
        QImage image(W, H, QImage::Format_RGB32);
        image.fill(Fill);
        image.setPixelColor(0, 0, Mark);
        return rt::Picture::fromImage(image);
    }
};
