#include "ListPrint.h"

#include "EventConsole.h"
#include "LangStr.h"
#include "PrintDBGridEh.h"

namespace ListPrint {

void setUpPrintComponent(PrintDBGridEh *engine)
{
    engine->setPageMargins(QMarginsF(10, 10, 10, 10));
    engine->setOptimalColumnWidths(true);
    const QFont bandFont = PrintDBGridEh::fontOrSansSerif(QStringLiteral("MS Sans Serif"), 8, true);
    engine->PageHeader().font = bandFont;
    engine->PageHeader().color = kBandColor;
    engine->PageFooter().font = bandFont;
}

QString headerText(const QString &listName, const QDateTime &now, const QLocale &locale)
{
    return listName + QStringLiteral("   ") + locale.toString(now.date(), locale.dateFormat(QLocale::ShortFormat))
           + QLatin1Char(' ') + QLatin1Char('(') + EventConsole::longTime(now.time(), locale) + QLatin1Char(')');
}

QString footerText(const QString &databasePath)
{
    return QStringLiteral("::: Bibliora ::: Database - ") + databasePath;
}

void printList(PrintDBGridEh *engine, DBGridEh *grid, const QString &titleKey, const QString &databasePath)
{
    engine->setDBGridEh(grid);
    engine->PageHeader().centerText.clear();
    engine->PageHeader().centerText.append(headerText(LangStr(titleKey), QDateTime::currentDateTime()));
    engine->PageFooter().centerText.clear();
    engine->PageFooter().color = kBandColor;
    engine->PageFooter().centerText.append(footerText(databasePath));
    engine->setProgressTexts(LangStr(QStringLiteral("lprnread")), LangStr(QStringLiteral("lprnpage")),
                             LangStr(QStringLiteral("lcancel")));
    engine->Preview();
}

} // namespace ListPrint
