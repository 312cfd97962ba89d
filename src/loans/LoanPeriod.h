#pragma once

class QBoxLayout;
class QSpinBox;

// The loan period: how many days after the loan a book is due back, kept in the settings store.
namespace LoanPeriod {
constexpr const char *kSettingsKey = "loan_period";
constexpr int kMaxDays = 3650;
// The stored period, or the default (30 days) when none or not a whole number in range is stored.
int days();
void setDays(int days);
// A labelled spin box of the period, added at the end of a layout of the settings window.
QSpinBox *addSpinBox(QBoxLayout *layout);
// Shows the stored period in the spin box, its label in the interface language.
void showIn(QSpinBox *box);
} // namespace LoanPeriod
