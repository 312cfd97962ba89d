#include "BookListOpen.h"

#include "AppState.h"
#include "EventConsole.h"
#include "LangStr.h"
#include "WorkerProgress.h"

bool BookListOpen::open(QWidget *parent)
{
    if (WorkerProgress::openQuery(parent, mainApi()->IBQuery1(), LangStr(QStringLiteral("cbooklistwork"))))
        return true;
    LogEvent(LangStr(QStringLiteral("cbookliststopped")));
    return false;
}
