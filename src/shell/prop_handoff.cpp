#include "prop_handoff.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_window.h"
#include "properties/properties.h"

namespace {

std::function<void()>& propertiesRunner() {
    static std::function<void()> runner;
    return runner;
}

// Rebuilds the month windows that the dialog's changes concern, in the loading view.
void rebuildMonthWindows(const CalDocument& Before) {
    FrmMainForm& main = FrmMain.get();
    rt::SetHourglass(true);
    if (main.Tag() != QLatin1String("Load")) SetMainMode(2);
    main.LblLoading(0).setCaption(rt::LoadResString(10001));
    rt::DoEvents();
    for (int16_t m = 1; m <= 12; ++m) {
        // A window not made yet is filled when it is made.
        if (!MonthNeedsRebuild(Before, CurDoc, m) || !MonthForms(m).exists()) continue;
        const QString name = rt::LoadResString(209 + m);
        main.LblLoading(1).setCaption(rt::LoadResString(10002) + u' ' + name +
                                      QStringLiteral("..."));
        MonthForms(m)->setCaption(name + u' ' + CurDoc.Year);
        rt::DoEvents();
        FillMonthDays(m);
        ApplyMonthColors(m);
        RefreshMonthBackground(m);
        RedrawMonthCells(m);
    }
    if (main.Tag() != QLatin1String("Edit")) SetMainMode(1);
    rt::DoEvents();
    RefreshPane(true, -1);
    main.setCaption(DocumentCaption());
    rt::SetHourglass(false);
    rt::DoEvents();
}

} // namespace

bool MonthNeedsRebuild(const CalDocument& Before, const CalDocument& After, int16_t Month) {
    const MonthRec& before = Before.Months(Month);
    const MonthRec& after = After.Months(Month);
    const bool defaultColours = after.Colours.UseDefault != 0;
    const bool defaultBackground = after.Background.UseDefault != 0;
    return After.Year != Before.Year || after.Colours.UseDefault != before.Colours.UseDefault ||
           (defaultColours && CompareColourSet(Before.DefaultColours, After.DefaultColours)) ||
           (!defaultColours && CompareColourSet(before.Colours, after.Colours)) ||
           after.Background.UseDefault != before.Background.UseDefault ||
           (defaultBackground &&
            CompareImageItem(Before.DefaultBackground, After.DefaultBackground)) ||
           (!defaultBackground && CompareImageItem(before.Background, after.Background));
}

std::function<void()> setPropertiesDialogRunner(std::function<void()> Runner) {
    std::function<void()> previous = propertiesRunner();
    propertiesRunner() = std::move(Runner);
    return previous;
}

bool ShowPropertiesDialog(bool NewDocument) {
    // The copy shares its pictures with the live document: a picture the dialog replaces shows
    // as another picture object.
    const CalDocument before = CurDoc;
    Exchange.DialogResult = 0;
    if (propertiesRunner())
        propertiesRunner()();
    else
        RunPropertiesDialog();
    const bool accepted = Exchange.DialogResult == 1;
    // A new document's caller builds its month windows itself.
    if (accepted && !NewDocument) rebuildMonthWindows(before);
    rt::DoEvents();
    UpdateMainControls(true);
    return accepted;
}
