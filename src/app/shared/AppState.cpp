#include "AppState.h"

namespace {
QString g_baseDirectory;
QColor g_themeColor = Qt::white;
MainWindowApi *g_mainApi = nullptr;
} // namespace

QString AppState::baseDirectory()
{
    return g_baseDirectory;
}

void AppState::setBaseDirectory(const QString &directory)
{
    g_baseDirectory = directory;
}

QColor AppState::themeColor()
{
    return g_themeColor;
}

void AppState::setThemeColor(const QColor &color)
{
    g_themeColor = color;
}

MainWindowApi *mainApi()
{
    return g_mainApi;
}

void setMainApi(MainWindowApi *api)
{
    g_mainApi = api;
}
