#include "month_backgrounds.h"

#include "month_window.h"

void RefreshMonthBackground(int16_t Month) {
    // A window not made yet paints its background when it is made and shown.
    if (FrmMonthModele* window = MonthForms(Month).peek()) window->RefreshBackground();
}
