#pragma once
// The properties dialog over a live document, with the main window in the state a test gives,
// scripted message boxes, modal forms, colour dialog and help, and doubles for the picture
// chooser and editor.

#include "core/resources.h"
#include "document/modified.h"
#include "properties/frm_prop.h"
#include "shell/shell_fixture.h"
#include "support/scripted_services.h"

#include <QImage>
#include <deque>
#include <ostream>

// Texts in the messages of failed checks.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class PropTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        previousDialogs_ = rt::setCommonDialogServices(dialogs);
        previousHelp_ = rt::setHelpServices(help);
        setPropPictureTools({[this](const QString& name) {
                                 chooserStarts << name;
                                 if (chooserAnswers.empty()) return PicChooseResult{};
                                 PicChooseResult r = chooserAnswers.front();
                                 chooserAnswers.pop_front();
                                 return r;
                             },
                             [this](const rt::Picture& picture, const QString& name) {
                                 ++editorCalls;
                                 if (editorAnswers.empty()) return PicEditResult{0, name, picture};
                                 PicEditResult r = editorAnswers.front();
                                 editorAnswers.pop_front();
                                 return r;
                             }});
        AppVersion = QStringLiteral("2.1");
        CurDoc = sampleDocument();
        SetModified(DocPart::All, 0, 0);
        FrmMain->setTag(QStringLiteral("Edit"));
    }
    void TearDown() override {
        FrmProp.release();
        setPropPictureTools({});
        rt::setCommonDialogServices(previousDialogs_);
        rt::setHelpServices(previousHelp_);
        ShellTest::TearDown();
    }

    // A document of 2004 with an author, its own colours in January and a default background.
    static CalDocument sampleDocument() {
        CalDocument d;
        d.Year = QStringLiteral("2004");
        d.Author = QStringLiteral("Anne");
        d.OpenMonth = QStringLiteral("03");
        ColourSet& c = d.DefaultColours;
        c.CellBack = rt::RGB(255, 255, 255);
        c.DayText = rt::RGB(0, 0, 0);
        c.TodayText = rt::RGB(255, 0, 0);
        c.SelCellBack = rt::RGB(255, 255, 160);
        c.EventText = rt::RGB(0, 0, 128);
        c.HeaderBack = rt::RGB(0, 64, 128);
        c.HeaderText = rt::RGB(255, 255, 255);
        c.IncomeText = rt::RGB(0, 128, 0);
        c.ExpenseText = rt::RGB(192, 0, 0);
        for (int m = 1; m <= 12; ++m) {
            d.Months(m).Colours = c;
            d.Months(m).Colours.UseDefault = -1;
            d.Months(m).Background.UseDefault = -1;
        }
        d.Months(1).Colours.UseDefault = 0;
        d.Months(1).Colours.CellBack = rt::RGB(220, 230, 255);
        return d;
    }

    // A picture of one colour.
    static rt::Picture plainPicture(QColor colour, int w = 40, int h = 30) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        return rt::Picture::fromImage(image);
    }

    // The dialog, created and loaded (not shown).
    FrmPropForm& dialog() { return FrmProp.get(); }
    // Clicks node Index of the display page's tree as the user does.
    void clickNode(int Index) { dialog().TreeDisp.userClick(Index); }

    ui_test::ScriptedServices& ui() { return services; }
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs =
        std::make_shared<rt::ScriptedCommonDialogs>();
    std::shared_ptr<rt::ScriptedHelp> help = std::make_shared<rt::ScriptedHelp>();
    std::deque<PicChooseResult> chooserAnswers;
    std::deque<PicEditResult> editorAnswers;
    QStringList chooserStarts;
    int editorCalls = 0;

private:
    std::shared_ptr<rt::CommonDialogServices> previousDialogs_;
    std::shared_ptr<rt::HelpServices> previousHelp_;
};
