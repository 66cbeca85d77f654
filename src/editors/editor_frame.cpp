#include "editor_frame.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/ui_services.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "services/form_support.h"
#include "services/main_window.h"
#include "services/shell_services.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QWidget>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const QDate kFirstPickerDate(1601, 1, 1);
const QDate kLastPickerDate(9999, 12, 31);

// Margins and button sizes of the editors' frame, in twips.
constexpr int kMargin = 120;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kHelpButtonWidth = 495;
// What the window's title bar and borders add to the client area.
constexpr int kFrameWidth = 90;
constexpr int kFrameHeight = 420;

} // namespace

// ---- The form ----

EditorForm::EditorForm(const QString& name) : rt::Form(name) {
    setBorderStyle(rt::vbFixedDialog);
    // F1 reaches the form whichever control has the focus.
    setKeyPreview(true);
    CmdHelp.setStyle(1);
    CmdOk.setDefault(true);
    // No Cancel button answers Escape: the editors stay open on Escape.
    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
}

void EditorForm::Form_Load() {
    Cancelled = -1;
    openMode_ = Exchange.DialogMode;
    openIndex_ = Exchange.EditIndex;
    rt::DoEvents();
    mainWindow().SetNavPanel(true, false);
    // Over the open navigation panel, 80 twips right of its tab control's left edge.
    setTop(mainWindow().Top() + 850);
    setLeft(mainWindow().NavPanelLeft() + 80);
    LoadAndFill();
    mainWindow().SetNavPanel(true, false);
}

void EditorForm::LoadAndFill() {
    LoadCaptions();
    FillDialog();
}

void EditorForm::Form_Unload(int&) {
    if (Cancelled == 0) {
        Exchange.DialogResult = 1;
        StoreItem();
    } else {
        Exchange.DialogResult = 0;
    }
}

void EditorForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode != 112) return;
    // Used here: the key goes no further, so one F1 opens the topic once.
    KeyCode = 0;
    CmdHelp_Click();
}

void EditorForm::CmdOk_Click() {
    Cancelled = 0;
    Unload();
}

void EditorForm::CmdCancel_Click() {
    Unload();
}

void EditorForm::CmdHelp_Click() {
    ShowHelp(HelpTopic());
}

void EditorForm::LoadFrameCaptions(rt::TabControl& Tabs, int AddCaption, int EditCaption) {
    setCaption(rt::LoadResString(openMode_ == 0 ? AddCaption : EditCaption));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setToolTipText(rt::LoadResString(223));
    CmdOk.setCaption(rt::LoadResString(502));
    CmdCancel.setCaption(rt::LoadResString(503));
    Tabs.setTabCaption(0, rt::LoadResString(504));
}

void EditorForm::LayoutFrame(rt::TabControl& Tabs) {
    const int top = Tabs.Top() + Tabs.Height() + kMargin;
    const int right = Tabs.Left() + Tabs.Width();
    CmdHelp.Move(Tabs.Left(), top, kHelpButtonWidth, kButtonHeight);
    CmdCancel.Move(right - kButtonWidth, top, kButtonWidth, kButtonHeight);
    CmdOk.Move(right - 2 * kButtonWidth - kMargin, top, kButtonWidth, kButtonHeight);
    Move(Left(), Top(), right + kMargin + kFrameWidth,
         top + kButtonHeight + kMargin + kFrameHeight);
}

void EditorForm::SetFocusOrder(std::initializer_list<rt::Control*> Order) {
    if (Order.size() != 0) (*Order.begin())->form()->setTabOrder(Order);
}

// ---- Amount filter ----

QString AbsoluteNumberText(const QString& Text) {
    double value = std::fabs(rt::Val(Text));
    if (!std::isfinite(value)) value = 0;
    if (value == 0) return QStringLiteral("0");
    // Fifteen significant digits in general form, with a point whatever the process locale.
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    QString s = QString::fromLatin1(buffer, written.ptr - buffer).toUpper();
    // The general form drops the zero before the point of a value below 1.
    if (s.startsWith(QLatin1String("0."))) s.remove(0, 1);
    return s;
}

QString AmountFilterText(const QString& Text) {
    return AbsoluteNumberText(QString(Text).replace(u',', u'.'));
}

QString AmountTypingText(const QString& Text) {
    const QString amount = AmountFilterText(Text);
    // Whole digits (blanks and a sign aside) and one separator at the end.
    static const QRegularExpression wholeThenPoint(
        QStringLiteral(R"(^[ \t\r\n]*[-+]?[0-9 \t\r\n]*[.,]$)"));
    if (wholeThenPoint.match(Text).hasMatch() && !amount.contains(u'E')) return amount + u'.';
    return amount;
}

void ApplyAmountFilter(rt::TextBox& Box) {
    const QString filtered = AmountTypingText(Box.Text());
    if (filtered != Box.Text()) Box.setText(filtered);
}

void EndAmountEntry(rt::TextBox& Box) {
    const QString amount = AmountFilterText(Box.Text());
    if (amount != Box.Text()) Box.setText(amount);
}

void BindAmountBox(rt::TextBox& Box) {
    Box.onLostFocus = [&Box] { EndAmountEntry(Box); };
}

// ---- Dates ----

QDate PickerDate(int32_t Day, int32_t Month, int32_t Year) {
    QDate d(Year, Month, Day);
    if (!d.isValid()) d = QDate(1970, 1, 1).addDays(DateSerial(Year, Month, Day));
    if (!d.isValid() || d < kFirstPickerDate) return kFirstPickerDate;
    if (d > kLastPickerDate) return kLastPickerDate;
    return d;
}

QDate PickerDate(const DateRec& D) {
    return PickerDate(D.Day, D.Month, D.Year);
}

DateRec DateOfPicker(rt::DTPicker& Picker) {
    return MakeDate(int16_t(Picker.Day()), int16_t(Picker.Month()), int16_t(Picker.Year()));
}

int16_t EditorDocumentYear() {
    const double year = rt::RoundHalfEven(rt::Val(CurDoc.Year));
    if (!(year >= kFirstPickerDate.year())) return int16_t(kFirstPickerDate.year());
    if (year > kLastPickerDate.year()) return int16_t(kLastPickerDate.year());
    return int16_t(year);
}

// ---- Keys ----

QString ListKey(const QString& Prefix, int32_t Number) {
    return Prefix + rt::FormatNumber(Number, QStringLiteral("000000000000000#"));
}

bool IssueKey(int32_t& NextKey, const QString& Prefix, QString& Key) {
    if (NextKey == std::numeric_limits<int32_t>::max()) return false;
    ++NextKey;
    Key = ListKey(Prefix, NextKey);
    return true;
}

// ---- Pages and looks ----

void EnablePages(rt::ControlArray<rt::PictureBox>& PicTab, int Tab) {
    PicTab.forEach([Tab](int i, rt::PictureBox& page) { page.setEnabled(i == Tab); });
}

namespace {

// The fonts of the editors' headings, texts and entries.
struct EditorFont {
    const char* Name;
    double Points;
    bool Bold;
};
constexpr EditorFont kHeadingFont{"Arial", 9.75, true};
constexpr EditorFont kTextFont{"Arial", 8.25, false};
constexpr EditorFont kEntryFont{"MS Sans Serif", 8.25, false};

void applyFont(rt::Control& Control, const EditorFont& Font) {
    Control.setFontName(QLatin1String(Font.Name));
    Control.setFontSize(Font.Points);
    if (Font.Bold) Control.setFontBold(true);
}

} // namespace

void StyleHeading(rt::Label& Label) {
    Label.setBackStyle(0);
    applyFont(Label, kHeadingFont);
}

void StyleLine(rt::Label& Line) {
    Line.setBackStyle(1);
    Line.setBackColor(rt::vbButtonShadow);
    Line.setHeight(15);
}

void StyleText(rt::Control& Control) {
    if (Control.kind() == rt::ControlKind::Label) static_cast<rt::Label&>(Control).setBackStyle(0);
    applyFont(Control, kTextFont);
}

void StyleEntry(rt::Control& Control) {
    applyFont(Control, kEntryFont);
}

void WarmEditorFonts() {
    // The letters of the editors' French captions and of what is typed into them most.
    static const QString sample =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 "
                       "\u00e0\u00e2\u00e7\u00e8\u00e9\u00ea\u00ee\u00f4\u00f9\u00fb\u00c9"
                       "'.,:;!?()-/%\u20ac");
    QImage canvas(8, 8, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    for (const EditorFont& spec : {kHeadingFont, kTextFont, kEntryFont}) {
        QFont font = QApplication::font();
        font.setFamily(QLatin1String(spec.Name));
        font.setPointSizeF(spec.Points);
        font.setBold(spec.Bold);
        painter.setFont(font);
        painter.drawText(0, 6, sample);
    }
}

void StylePanel(rt::PictureBox& Panel) {
    Panel.setBorderStyle(0);
}

// ---- Storing ----

void EditorStoreRefused() {
    Exchange.DialogResult = 0;
}

void EditorMarkStored(int32_t Part) {
    SetModified(Part, -1, 0);
}
