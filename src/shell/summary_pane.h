#pragma once
// The Summary tab of the main window's navigation panel: the incomes, the expenses and their
// balance over the current day, its month, or one or two weeks from it; and the text of every
// money label of the panel.

#include <QString>
#include <cstdint>

// Fills the Summary tab from the live document, the current day and the range boxes ChkSU(0)
// to ChkSU(3) (the highest ticked one chooses the range; none ticked gives the day).
void ComputeSummary();

// An amount as every money label shows it: the whole number, "-" when negative, then "$"
// ("1250$", "-40$", "0$").
QString AmountText(int64_t Amount);
