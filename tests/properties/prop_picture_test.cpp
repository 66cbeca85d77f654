// Pictures of the three pages of the properties dialog, saved in the scratch folder for a person to
// look at; the test checks what each must show.

#include "common/test_support.h"
#include "prop_fixture.h"

#include <QCoreApplication>
#include <QWidget>

using namespace rt;

namespace {

// The colour at the middle of the lower half of a label, as the window shows it.
QColor pixelOf(const QImage& shot, const rt::Form& form, const rt::Label& c) {
    const QRect place = c.placeInHost();
    const QPoint at = place.topLeft() + QPoint(place.width() / 2, place.height() * 3 / 4);
    return shot.pixelColor(c.host()->mapTo(form.window(), at));
}

} // namespace

TEST_F(PropTest, PicturesOfTheThreePages) {
    CurDoc.FileName = QStringLiteral("/nulle/part/agenda.cal");
    CurDoc.Password = QStringLiteral("secret");
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/vert.bmp");
    CurDoc.DefaultBackground.Mode = ImageMode::Tiled;
    CurDoc.DefaultBackground.Picture = plainPicture(QColor(160, 220, 160));
    FrmPropForm& f = dialog();
    f.Show();
    QCoreApplication::processEvents();

    const QImage general = f.window()->grab().toImage();
    general.save(testing_support::scratchFolder() + QStringLiteral("/mirovanta_prop_general.png"));
    EXPECT_EQ(f.TxtGen(2).Text(), LoadResString(541));

    f.TbProp.setTab(1);
    clickNode(1);
    QCoreApplication::processEvents();
    const QImage display = f.window()->grab().toImage();
    display.save(testing_support::scratchFolder() + QStringLiteral("/mirovanta_prop_display.png"));
    // The default background shows through the cells, but not through the selected cell.
    EXPECT_EQ(pixelOf(display, f, f.LblDay(15)), QColor(160, 220, 160));
    EXPECT_EQ(pixelOf(display, f, f.LblDay(8)), QColor(255, 255, 160));

    clickNode(17); // January's colours
    QCoreApplication::processEvents();
    f.window()->grab().save(testing_support::scratchFolder() +
                            QStringLiteral("/mirovanta_prop_colours.png"));
    clickNode(16); // January's picture
    QCoreApplication::processEvents();
    f.window()->grab().save(testing_support::scratchFolder() +
                            QStringLiteral("/mirovanta_prop_image.png"));

    f.TbProp.setTab(2);
    QCoreApplication::processEvents();
    f.window()->grab().save(testing_support::scratchFolder() +
                            QStringLiteral("/mirovanta_prop_saving.png"));
    EXPECT_EQ(f.TxtSave.Tag(), QStringLiteral("Confirmed"));
    f.CmdCancel_Click();
}
