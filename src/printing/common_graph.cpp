#include "common_graph.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "frm_cm_graph.h"
#include "frm_cm_op_pic.h"
#include "platform/ui_picture_box.h"
#include "services/form_support.h"

#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>

int32_t PicEditAccepted = 0;
QString PicEditFileName;
rt::Picture PicEditPicture = rt::Picture::empty();
int32_t PicChooseAccepted = 0;
QString PicChooseFileName;

PicChooseResult ChoosePicture(const QString& FileName) {
    PicChooseAccepted = 0;
    PicChooseFileName = FileName;
    FrmCmOpPic->Show(rt::vbModal);
    FrmCmOpPic.release();
    PicChooseResult result{PicChooseAccepted, PicChooseFileName};
    rt::DoEvents();
    PicChooseAccepted = 0;
    PicChooseFileName.clear();
    return result;
}

PicEditResult EditPicture(const rt::Picture& Picture, const QString& FileName) {
    PicEditAccepted = 0;
    PicEditFileName = FileName;
    PicEditPicture = Picture;
    FrmCmGraph->Show(rt::vbModal);
    FrmCmGraph.release();
    PicEditResult result;
    result.Changed = PicEditAccepted;
    if (result.Changed == 1) {
        result.Picture = PicEditPicture;
        result.FileName = PicEditFileName;
    } else {
        result.Picture = Picture;
        result.FileName = FileName;
    }
    rt::DoEvents();
    PicEditAccepted = 0;
    PicEditPicture = rt::Picture::empty();
    PicEditFileName.clear();
    return result;
}

void AdjustImageBrightness(QImage& Image, int Amount, const std::function<void(int)>& afterColumn) {
    if (Amount == 0 || Amount < -100 || Amount > 100 || Image.isNull()) return;
    if (Image.format() != QImage::Format_RGB32 && Image.format() != QImage::Format_ARGB32)
        Image = Image.convertToFormat(QImage::Format_RGB32);
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    const int width = Image.width(), height = Image.height();
    // Column after column, so that the change advances across the picture as it is repainted.
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(Image.scanLine(y));
            const QRgb c = line[x];
            line[x] = qRgba(clamp(qRed(c) + Amount), clamp(qGreen(c) + Amount),
                            clamp(qBlue(c) + Amount), qAlpha(c));
        }
        if (x % 10 == 0 && afterColumn) afterColumn(x);
    }
}

void AdjustBrightness(int16_t Amount, rt::PictureBox& Pic) {
    if (Amount == 0 || Amount < -100 || Amount > 100) return;
    rt::SetHourglass(true);
    Pic.setScaleMode(rt::vbPixels);
    Pic.setAutoRedraw(true);
    // The change shows as it advances, repainted at most every 40 ms.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    AdjustImageBrightness(Pic.persistentImage(), Amount, [&](int) {
        Pic.imageChanged();
        if (sinceRepaint.elapsed() >= 40) {
            Pic.clientWidget()->repaint();
            sinceRepaint.restart();
        }
    });
    Pic.imageChanged();
    rt::SetHourglass(false);
}

rt::Picture HelpDisabledPicture() {
    if (const auto icon = ToolbarHelpIcon(true)) return *icon;
    return HelpButtonPicture();
}

QString ErrorReportText(const QString& Lead, int32_t Number, const QString& Description) {
    QString text;
    if (!Lead.isEmpty()) text = Lead + QStringLiteral("\r\r");
    return text + rt::LoadResString(10038) + QStringLiteral("  ") + QString::number(Number) +
           u'\r' + rt::LoadResString(10039) + QStringLiteral("  ") + Description;
}
