#include "WebLinks.h"

#include "LangStr.h"
#include "UserPrompts.h"

#include <QClipboard>
#include <QGuiApplication>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace WebLinks {
namespace {

std::function<void(const QUrl &)> &opener()
{
    static std::function<void(const QUrl &)> instance;
    return instance;
}

QUrl guidePage(const char *file)
{
    return QUrl::fromLocalFile(QDir(guideFolder()).filePath(QString::fromLatin1(file)));
}

} // namespace

QString guideFolder()
{
    return guideFolderFor(QCoreApplication::applicationDirPath());
}

QString guideFolderFor(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QStringLiteral("guide"));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(folder.filePath(QStringLiteral(GUIDE_FROM_PROGRAM)));
}

QUrl address(Page page)
{
    switch (page) {
    case Page::Documentation:
        return guidePage("help.html");
    case Page::Updates:
        return guidePage("updates.html");
    case Page::Site:
    case Page::SiteMirror: // one copy of the guide: both mirrors are its front page
        return guidePage("index.html");
    case Page::About:
        return guidePage("about.html");
    case Page::Engine:
        return QUrl(QStringLiteral("https://firebirdsql.org/"));
    case Page::GridLibrary:
        return QUrl(QStringLiteral("https://www.qt.io/"));
    case Page::Debian:
        return QUrl(QStringLiteral("https://www.debian.org/"));
    case Page::Unicode:
        return QUrl(QStringLiteral("https://home.unicode.org/"));
    }
    return {};
}

void openWebPage(Page page)
{
    openWebPage(address(page));
}

void openWebPage(const QUrl &url)
{
    if (opener()) {
        opener()(url);
        return;
    }
    if (!QDesktopServices::openUrl(url))
        offerAddress(url);
}

void offerAddress(const QUrl &url)
{
    // A desktop without a browser: say so, and offer the address for another program.
    const QString shown = url.isLocalFile() ? url.toLocalFile() : url.toString();
    if (UserPrompts::message(UserPrompts::Kind::Question, LangStr(QStringLiteral("lnobrowser")).arg(shown), QString(),
                             QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        QGuiApplication::clipboard()->setText(shown);
}

void setOpener(const std::function<void(const QUrl &)> &function)
{
    opener() = function;
}

} // namespace WebLinks
