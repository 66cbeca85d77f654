// The hand-off around the document properties dialog: which month windows are rebuilt, and what
// the main window shows afterwards.

#include "document/modified.h"
#include "shell/main_module.h"
#include "shell/prop_handoff.h"
#include "shell_fixture.h"

#include <QImage>

using namespace rt;

namespace {

// A document of 2004 whose January has its own colours and background, and whose other months
// use the defaults.
CalDocument sampleDocument() {
    CalDocument d;
    d.Year = QStringLiteral("2004");
    d.DefaultColours.CellBack = RGB(255, 255, 255);
    d.DefaultColours.SelCellBack = RGB(255, 255, 0);
    d.DefaultBackground.FileName = QStringLiteral("/images/defaut.bmp");
    d.DefaultBackground.Picture = Picture::fromImage(QImage(4, 4, QImage::Format_RGB32));
    for (int m = 1; m <= 12; ++m) {
        d.Months(m).Colours = d.DefaultColours;
        d.Months(m).Colours.UseDefault = -1;
        d.Months(m).Background.UseDefault = -1;
    }
    MonthRec& january = d.Months(1);
    january.Colours.UseDefault = 0;
    january.Colours.CellBack = RGB(200, 220, 255);
    january.Background.UseDefault = 0;
    january.Background.FileName = QStringLiteral("/images/neige.jpg");
    january.Background.Picture = Picture::fromImage(QImage(4, 4, QImage::Format_RGB32));
    return d;
}

} // namespace

TEST(MonthNeedsRebuild, YearColoursAndBackgroundsInForceDecide) {
    struct Case {
        const char* change;
        std::function<void(CalDocument&)> apply;
        bool january; // own colours and background
        bool june;    // default colours and background
    };
    const Case cases[] = {
        {"nothing", [](CalDocument&) {}, false, false},
        {"author, password, month to open, embedding",
         [](CalDocument& d) {
             d.Author = QStringLiteral("Anne");
             d.Password = QStringLiteral("secret");
             d.OpenMonth = QStringLiteral("06");
             d.EmbedPictures = -1;
         },
         false, false},
        {"year", [](CalDocument& d) { d.Year = QStringLiteral("2005"); }, true, true},
        {"default colours", [](CalDocument& d) { d.DefaultColours.SelCellBack = RGB(0, 128, 0); },
         false, true},
        {"January's colours", [](CalDocument& d) { d.Months(1).Colours.DayText = RGB(9, 9, 9); },
         true, false},
        // June's own set is not shown while it uses the defaults.
        {"June's unused colours",
         [](CalDocument& d) { d.Months(6).Colours.CellBack = RGB(1, 2, 3); }, false, false},
        // The switch counts even when both sets are equal.
        {"June to its own colours, equal to the defaults",
         [](CalDocument& d) { d.Months(6).Colours.UseDefault = 0; }, false, true},
        {"default background replaced by another picture of the same file",
         [](CalDocument& d) {
             d.DefaultBackground.Picture = Picture::fromImage(QImage(4, 4, QImage::Format_RGB32));
         },
         false, true},
        {"January's background removed",
         [](CalDocument& d) {
             d.Months(1).Background.FileName.clear();
             d.Months(1).Background.Picture = Picture::empty();
         },
         true, false},
        {"June's unused background",
         [](CalDocument& d) { d.Months(6).Background.FileName = QStringLiteral("/x.bmp"); }, false,
         false},
        {"January to the default background",
         [](CalDocument& d) { d.Months(1).Background.UseDefault = -1; }, true, false},
    };
    const CalDocument before = sampleDocument();
    for (const Case& c : cases) {
        CalDocument after = before;
        c.apply(after);
        EXPECT_EQ(MonthNeedsRebuild(before, after, 1), c.january) << c.change;
        EXPECT_EQ(MonthNeedsRebuild(before, after, 6), c.june) << c.change;
    }
}

class PropHandoffTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AppVersion = QStringLiteral("2.1");
        CurDoc = sampleDocument();
        CurDoc.IsSaved = -1;
        FrmMain->setTag(QStringLiteral("Edit"));
        FrmMain->setCaption(QStringLiteral("avant"));
        for (int m = 1; m <= 12; ++m)
            MonthForms(m)->setCaption(QStringLiteral("-"));
        // The state at every "let pending events run".
        services.ui->onDoEvents = [this](bool) {
            if (FrmMain.exists()) states << FrmMain->Tag();
        };
    }
    void TearDown() override {
        setPropertiesDialogRunner({});
        services.ui->onDoEvents = nullptr;
        ShellTest::TearDown();
    }
    // The dialog: changes the document as the user did, then OK (or Cancel).
    void dialog(std::function<void()> change, bool ok = true) {
        setPropertiesDialogRunner([this, change, ok] {
            ++shown;
            EXPECT_EQ(Exchange.DialogResult, 0);
            change();
            if (ok) Exchange.DialogResult = 1;
        });
    }
    // The months whose window was rebuilt (its caption rewritten).
    static QList<int> rebuilt() {
        QList<int> months;
        for (int m = 1; m <= 12; ++m)
            if (MonthForms(m)->Caption() != QStringLiteral("-")) months << m;
        return months;
    }
    QStringList states;
    int shown = 0;
};

// Cancel, and OK on a new document, whose caller builds the windows itself, rebuild nothing.
TEST_F(PropHandoffTest, CancelAndANewDocumentLeaveTheWindowsAlone) {
    for (const bool newDocument : {false, true}) {
        Exchange.DialogResult = 1; // left over from an earlier dialog
        dialog([] { CurDoc.Year = QStringLiteral("2005"); }, newDocument);
        EXPECT_EQ(ShowPropertiesDialog(newDocument), newDocument);
        EXPECT_EQ(rebuilt(), QList<int>());
        EXPECT_EQ(FrmMain->Caption(), QStringLiteral("avant"));
        EXPECT_FALSE(states.contains(QStringLiteral("Load")));
    }
    EXPECT_EQ(shown, 2);
}

TEST_F(PropHandoffTest, AnAuthorAloneRebuildsNoMonthButRefreshesTheCaption) {
    dialog([] {
        CurDoc.Author = QStringLiteral("Anne");
        SetModified(DocPart::Header, -1, 0);
    });
    EXPECT_TRUE(ShowPropertiesDialog(false));
    EXPECT_EQ(rebuilt(), QList<int>());
    // Through the loading view and back.
    EXPECT_TRUE(states.contains(QStringLiteral("Load")));
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(FrmMain->LblLoading(0).Caption(),
              QStringLiteral("Chargement du calendrier, veuillez patienter..."));
    EXPECT_EQ(FrmMain->Caption(), QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
    EXPECT_EQ(services.ui->hourglassChanges, (std::vector<bool>{true, false}));
}

TEST_F(PropHandoffTest, ANewYearRebuildsEveryMonthWithItsCaption) {
    CurDoc.FileName = QStringLiteral("/home/anne/2004.cal");
    dialog([] {
        // The dialog has already switched to "Load" and rebuilt the document for the year.
        FrmMain->setTag(QStringLiteral("Load"));
        CurDoc.Year = QStringLiteral("2005");
        CurDoc.FileName.clear();
        SetModified(DocPart::All, -1, 0);
    });
    EXPECT_TRUE(ShowPropertiesDialog(false));
    EXPECT_EQ(rebuilt().size(), 12);
    EXPECT_EQ(MonthForms(1)->Caption(), QStringLiteral("Janvier 2005"));
    EXPECT_EQ(MonthForms(8)->Caption(), QStringLiteral("Août 2005"));
    EXPECT_EQ(MonthForms(12)->Caption(), QStringLiteral("Décembre 2005"));
    EXPECT_EQ(FrmMain->LblLoading(1).Caption(), QStringLiteral("Chargement Décembre..."));
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(FrmMain->Caption(), QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
}
