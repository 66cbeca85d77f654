#include "month_backgrounds.h"

#include "month_window.h"
#include "services/month_painting.h"

void RefreshMonthBackground(int16_t Month) {
    FrmMonthModele& window = MonthForms(Month).get();
    PaintBackground(window.PicCal, window.PicTemp, BackgroundInForce(Month));
}
