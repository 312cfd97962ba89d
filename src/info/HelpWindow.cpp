#include "HelpWindow.h"

#include "DialogBase.h"

#include "LangStr.h"
#include "SettingsList.h"
#include "WebLinks.h"
#include "ui_HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTextDocument>

HelpWindow *HelpF = nullptr;

namespace
{

// The pages in the order the list shows them.
const char *const kPages[] = {"index.html", "help.html", "menus.html", "updates.html", "about.html"};

QString pageText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString pageTitle(const QString &html, const QString &fallback)
{
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    const QRegularExpressionMatch match = title.match(html);
    QString text = match.hasMatch() ? match.captured(1).trimmed() : fallback;
    // "Bibliora — help" shows as "help" in the list.
    const qsizetype dash = text.indexOf(QStringLiteral(" — "));
    return dash >= 0 ? text.mid(dash + 3) : text;
}

QString plainText(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::HelpWindow>())
{
    HelpF = this;
    ui->setupUi(this);
    ui->Browser->setOpenLinks(false);
    ui->Splitter->setStretchFactor(1, 1);
    ui->Splitter->setSizes({180, 680});
    ui->BackBtn->setShortcut(QKeySequence::Back);
    ui->ForwardBtn->setShortcut(QKeySequence::Forward);
    ui->BackBtn->setEnabled(false);
    ui->ForwardBtn->setEnabled(false);
    connect(ui->BackBtn, &QToolButton::clicked, ui->Browser, &QTextBrowser::backward);
    connect(ui->ForwardBtn, &QToolButton::clicked, ui->Browser, &QTextBrowser::forward);
    connect(ui->HomeBtn, &QToolButton::clicked, this, [this] { openPage(QStringLiteral("index.html")); });
    connect(ui->Browser, &QTextBrowser::backwardAvailable, ui->BackBtn, &QToolButton::setEnabled);
    connect(ui->Browser, &QTextBrowser::forwardAvailable, ui->ForwardBtn, &QToolButton::setEnabled);
    connect(ui->Browser, &QTextBrowser::anchorClicked, this, &HelpWindow::linkClicked);
    connect(ui->PagesList, &QListWidget::currentRowChanged, this, &HelpWindow::pageChosen);
    connect(ui->SearchEd, &QLineEdit::returnPressed, this, &HelpWindow::search);
    resize(860, 600);
}

HelpWindow::~HelpWindow()
{
    if (HelpF == this)
        HelpF = nullptr;
}

QString HelpWindow::languageFolder(const QString &language)
{
    const QDir guide(WebLinks::guideFolder());
    if ((language == QLatin1String("ru") || language == QLatin1String("ua")) && guide.exists(language))
        return guide.filePath(language);
    return guide.path();
}

QString HelpWindow::topicOf(const QString &windowName)
{
    static const QHash<QString, QString> topics = {
        {QStringLiteral("MainF"), QStringLiteral("menus.html#main")},
        {QStringLiteral("add"), QStringLiteral("menus.html#add")},
        {QStringLiteral("cng"), QStringLiteral("menus.html#change")},
        {QStringLiteral("ViewF"), QStringLiteral("menus.html#view")},
        {QStringLiteral("del"), QStringLiteral("menus.html#delete")},
        {QStringLiteral("MultiDelF"), QStringLiteral("menus.html#delete")},
        {QStringLiteral("GivenF"), QStringLiteral("menus.html#loans")},
        {QStringLiteral("BackF"), QStringLiteral("menus.html#loans")},
        {QStringLiteral("GivenCngF"), QStringLiteral("menus.html#loans")},
        {QStringLiteral("ConstantsF"), QStringLiteral("menus.html#constants")},
        {QStringLiteral("LookupF"), QStringLiteral("menus.html#constants")},
        {QStringLiteral("AddConstF"), QStringLiteral("menus.html#constants")},
        {QStringLiteral("FieldsF"), QStringLiteral("menus.html#fields")},
        {QStringLiteral("sqlF"), QStringLiteral("menus.html#sql")},
        {QStringLiteral("Settings"), QStringLiteral("menus.html#settings")},
        {QStringLiteral("ConnectionSettings"), QStringLiteral("menus.html#database")},
        {QStringLiteral("RegisterF"), QStringLiteral("menus.html#database")},
        {QStringLiteral("ImportBooksWindow"), QStringLiteral("menus.html#exchange")},
        {QStringLiteral("AboutBox"), QStringLiteral("about.html")},
    };
    return topics.value(windowName, QStringLiteral("index.html"));
}

void HelpWindow::showFor(const QString &windowName)
{
    m_folder = languageFolder(settingsList().value(QStringLiteral("Language")));
    applyTexts();
    fillPages();
    const QString topic = topicOf(windowName);
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    openPage(topic.left(hash), hash < 0 ? QString() : topic.mid(hash + 1));
    // The first time over the program's window; later where the user left it.
    if (!m_placed && parentWidget())
        DialogBase::centreOver(this, parentWidget()->window());
    m_placed = true;
    show();
    raise();
    activateWindow();
}

QUrl HelpWindow::currentPage() const
{
    return ui->Browser->source();
}

void HelpWindow::applyTexts()
{
    setWindowTitle(LangStr(QStringLiteral("lhlpcap")));
    ui->BackBtn->setText(LangStr(QStringLiteral("lhlpback")));
    ui->ForwardBtn->setText(LangStr(QStringLiteral("lhlpfwd")));
    ui->HomeBtn->setText(LangStr(QStringLiteral("lhlpcont")));
    ui->SearchLb->setText(LangStr(QStringLiteral("lhlpsrch")));
    ui->StatusLb->clear();
}

void HelpWindow::fillPages()
{
    const QSignalBlocker quiet(ui->PagesList);
    ui->PagesList->clear();
    m_files.clear();
    for (const char *name : kPages) {
        const QString file = QString::fromLatin1(name);
        QString path = QDir(m_folder).filePath(file);
        if (!QFileInfo::exists(path))
            path = QDir(WebLinks::guideFolder()).filePath(file);
        if (!QFileInfo::exists(path))
            continue;
        m_files.append(path);
        ui->PagesList->addItem(pageTitle(pageText(path), file));
    }
}

void HelpWindow::openPage(const QString &file, const QString &anchor)
{
    QString path = QDir(m_folder).filePath(file);
    if (!QFileInfo::exists(path))
        path = QDir(WebLinks::guideFolder()).filePath(file);
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    ui->Browser->setSource(url);
    const QSignalBlocker quiet(ui->PagesList);
    ui->PagesList->setCurrentRow(int(m_files.indexOf(path)));
}

void HelpWindow::pageChosen(int row)
{
    if (row >= 0 && row < m_files.size())
        ui->Browser->setSource(QUrl::fromLocalFile(m_files.at(row)));
}

void HelpWindow::linkClicked(const QUrl &url)
{
    const QUrl target = ui->Browser->source().resolved(url);
    if (!target.isLocalFile()) {
        WebLinks::openWebPage(target);
        return;
    }
    ui->Browser->setSource(target);
    const QSignalBlocker quiet(ui->PagesList);
    ui->PagesList->setCurrentRow(int(m_files.indexOf(target.toLocalFile())));
}

void HelpWindow::search()
{
    const QString text = ui->SearchEd->text().trimmed();
    ui->StatusLb->clear();
    if (text.isEmpty())
        return;
    // The list keeps only the pages that hold the text.
    QList<int> holding;
    for (int row = 0; row < m_files.size(); ++row) {
        const bool holds = plainText(pageText(m_files.at(row))).contains(text, Qt::CaseInsensitive);
        ui->PagesList->item(row)->setHidden(!holds);
        if (holds)
            holding.append(row);
    }
    if (holding.isEmpty()) {
        ui->StatusLb->setText(LangStr(QStringLiteral("lhlpnotf")).arg(text));
        return;
    }
    // The next place on this page, else the first place on the next page that holds it.
    if (ui->Browser->find(text))
        return;
    const int current = ui->PagesList->currentRow();
    int next = holding.first();
    for (int row : std::as_const(holding)) {
        if (row > current) {
            next = row;
            break;
        }
    }
    ui->PagesList->setCurrentRow(next);
    ui->Browser->setSource(QUrl::fromLocalFile(m_files.at(next)));
    ui->Browser->moveCursor(QTextCursor::Start);
    ui->Browser->find(text);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
