#pragma once

#include <QUrl>
#include <functional>

// The pages the program opens in the desktop's default browser. The program's own pages are
// those of the user guide (folder "guide", see guideFolder); the credits point to
// the projects' sites.
namespace WebLinks {
enum class Page {
    Documentation, // Info → Help (online), F1
    Updates,       // Info → Updates
    Site,          // Info → Bibliora site (miror1), the about window's site address
    SiteMirror,    // Info → Bibliora site (miror2)
    About,         // double click on the about window's picture
    Engine,        // the database engine's site
    GridLibrary,   // the site of the library the grid is built on
    Debian,        // credited: the system the program is built on
    Unicode,       // credited: the character data behind the three languages
};

// The address of a page.
QUrl address(Page page);
// The folder of the user guide: "guide" beside the program when there is one (the build tree),
// otherwise the installed guide, found from where the program is installed.
QString guideFolder();
QString guideFolderFor(const QString &programFolder);

// Opens the page in the default browser. Without a browser it says so and offers to copy the
// address to the clipboard.
void openWebPage(Page page);
void openWebPage(const QUrl &url);
// What happens when no browser opened the address: the user is told and may copy it.
void offerAddress(const QUrl &url);

// Test seam: every address is handed to opener instead of the browser; an empty function
// restores the browser.
void setOpener(const std::function<void(const QUrl &)> &opener);
} // namespace WebLinks
