#pragma once
// Money texts: an income, an expense or a debt/saving keeps its name and amount in one text,
// the name left-aligned in exactly 10 characters (longer names are cut), one blank, then the
// amount as typed.

#include <QString>
#include <cstdint>

// Whether items of this kind keep a money text: incomes and expenses.
bool HasMoneyText(int32_t Kind);

// Builds a money text from a name and the amount as typed.
QString MakeMoneyText(const QString& Name, const QString& Amount);

// The name of a money text: its first 10 characters with the blanks at both ends removed.
QString MoneyName(const QString& Text);

// The amount of a money text: the numeric value of the text after its 10th character (0 when
// it does not begin with a number).
double MoneyAmount(const QString& Text);
