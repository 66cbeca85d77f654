#include "month_backgrounds.h"

#include "month_window.h"

void RefreshMonthBackground(int16_t Month) {
    MonthForms(Month)->RefreshBackground();
}
