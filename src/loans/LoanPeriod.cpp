#include "LoanPeriod.h"

#include "LangStr.h"
#include "LoanRecords.h"
#include "SettingsList.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace LoanPeriod {

int days()
{
    bool ok = false;
    const int stored = settingsList().value(QString::fromLatin1(kSettingsKey)).toInt(&ok);
    return ok && stored >= 0 && stored <= kMaxDays ? stored : LoanRecords::kDefaultLoanPeriod;
}

void setDays(int value)
{
    const QString key = QString::fromLatin1(kSettingsKey);
    // The settings file keeps its own lines until the period is changed from the default.
    if (value == LoanRecords::kDefaultLoanPeriod && settingsList().value(key).isEmpty())
        return;
    settingsList().setValue(key, QString::number(value));
}

QSpinBox *addSpinBox(QBoxLayout *layout)
{
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(LangStr(QStringLiteral("lloanperiod")));
    label->setObjectName(QStringLiteral("LoanPeriodLabel"));
    auto *box = new QSpinBox;
    box->setObjectName(QStringLiteral("LoanPeriodSpin"));
    box->setRange(0, kMaxDays);
    box->setValue(days());
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
    row->addStretch();
    layout->addLayout(row);
    return box;
}

void showIn(QSpinBox *box)
{
    box->setValue(days());
    if (auto *label = box->parentWidget()->findChild<QLabel *>(QStringLiteral("LoanPeriodLabel")))
        label->setText(LangStr(QStringLiteral("lloanperiod")));
}

} // namespace LoanPeriod
