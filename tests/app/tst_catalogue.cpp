#include "Catalogue.h"

#include <QSet>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void keysAreUniqueAndComplete();
    void translationsAreComplete();
    void programInformationIsTheSameInEveryLanguage();
    void textsFitWindows1251();
};

void TestCatalogue::lookup_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("english") << "cinit" << "en" << "Initialising";
    QTest::newRow("russian") << "cinit" << "ru" << u"Инициализация"_s;
    QTest::newRow("ukrainian") << "cinit" << "ua" << u"Ініціалізація"_s;
    QTest::newRow("cexit english") << "cexit" << "en" << "Work ending";

    // Only the three exact lower-case codes pick a translation.
    QTest::newRow("capital RU") << "cinit" << "RU" << "Initialising";
    QTest::newRow("mixed Ua") << "cinit" << "Ua" << "Initialising";
    QTest::newRow("capital EN") << "cinit" << "EN" << "Initialising";
    QTest::newRow("other code") << "cinit" << "de" << "Initialising";
    QTest::newRow("empty language") << "cinit" << "" << "Initialising";
    QTest::newRow("padded code") << "cinit" << "ru " << "Initialising";

    QTest::newRow("unknown en") << "nosuchkey" << "en" << "";
    QTest::newRow("unknown ru") << "nosuchkey" << "ru" << "";
    QTest::newRow("unknown ua") << "nosuchkey" << "ua" << "";
    QTest::newRow("empty key") << "" << "en" << "";
    QTest::newRow("key in capitals en") << "CINIT" << "en" << "";
    QTest::newRow("key in capitals ru") << "CINIT" << "ru" << "";
    QTest::newRow("key capitalised") << "Cinit" << "ua" << "";

    // Trailing "." and ":" belong to the key.
    QTest::newRow("key with dot") << "cdbconn." << "en" << "Connecting to database ...";
    QTest::newRow("key without its dot") << "cdbconn" << "en" << "";
    QTest::newRow("key with colon") << "lident:" << "en" << "Identifier:";
    QTest::newRow("key without its colon") << "lident" << "en" << "Identifier";
    QTest::newRow("lprint:") << "lprint:" << "en" << "Print:";
    QTest::newRow("lqsrch:") << "lqsrch:" << "en" << "Quick search:";

    // Blanks around texts are part of them.
    QTest::newRow("trailing blank") << "cdbpath" << "en" << "Default database file path - ";
    QTest::newRow("blanks both sides") << "ffctrl" << "en" << " Fields control ";
    QTest::newRow("trailing blank ru") << "cdbpath" << "ru" << u"Путь к стандартной базе данных - "_s;
    QTest::newRow("three trailing blanks") << "enotpres" << "ru" << u"!!! Следующие поля пустые:   "_s;
    QTest::newRow("leading blank") << "lmainpar" << "en" << " - minimal parameters";
    QTest::newRow("odd spelling kept") << "cdbmod2" << "en" << "Database structure modification succefully completed";

    QTest::newRow("empty english") << "lab15" << "en" << "";
    QTest::newRow("multi-line") << "hobligflds" << "en"
                                << "The next fields are minimal (obligatory)\rbook parameters:\r - Title\r - Author"
                                   "\r - Year\r - Publisher\r - Genre";
    QTest::newRow("quotes inside") << "ldlterre" << "ua"
                                   << u"Помилка видалення! Ви повинні повернути книжку до бібліотеки\r"
                                      u"(видалитии із \"Відданих\") перед тим як видалити її!"_s;
    // clang-format on
}

void TestCatalogue::lookup()
{
    QFETCH(QString, key);
    QFETCH(QString, language);
    QFETCH(QString, expected);

    QCOMPARE(Catalogue::text(key, language), expected);
}

void TestCatalogue::keysAreUniqueAndComplete()
{
    const QStringList keys = Catalogue::keys();
    // The program's own 305 keys, and those features under way add beside them.
    QVERIFY(keys.size() >= 305);
    QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()).size(), keys.size());
    QCOMPARE(keys.first(), "iprog");
    QCOMPARE(keys.last(), "lqsrch:");
}

void TestCatalogue::translationsAreComplete()
{
    for (const QString &key : Catalogue::keys()) {
        if (Catalogue::text(key, "en").isEmpty())
            continue;
        QVERIFY2(!Catalogue::text(key, "ru").isEmpty(), qPrintable(key));
        QVERIFY2(!Catalogue::text(key, "ua").isEmpty(), qPrintable(key));
    }
    // The one entry with no English text still has its translations.
    QVERIFY(!Catalogue::text("lab15", "ru").isEmpty());
    QVERIFY(!Catalogue::text("lab15", "ua").isEmpty());
}

void TestCatalogue::programInformationIsTheSameInEveryLanguage()
{
    QCOMPARE(Catalogue::text("iprog", "en"), "Bibliora");
    for (const char *key : {"iprog", "iver", "ibuild", "iplatf", "imore"}) {
        const QString en = Catalogue::text(QString::fromLatin1(key), "en");
        QVERIFY2(!en.isEmpty(), key);
        QCOMPARE(Catalogue::text(QString::fromLatin1(key), "ru"), en);
        QCOMPARE(Catalogue::text(QString::fromLatin1(key), "ua"), en);
    }
}

namespace
{

// Characters beyond ASCII that Windows-1251 can hold and that texts may reasonably use.
bool fitsWindows1251(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return true;
    if (u >= 0x0400 && u <= 0x045F && u != 0x0400 && u != 0x040D && u != 0x0450 && u != 0x045D)
        return true;
    static const QSet<char16_t> extra = {
        0x0490, 0x0491, // Ґ ґ
        0x00A0, 0x00A4, 0x00A6, 0x00A7, 0x00A9, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00B0, 0x00B1,
        0x00B5, 0x00B6, 0x00B7, 0x00BB, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D,
        0x201E, 0x2020, 0x2021, 0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2116, 0x2122,
    };
    return extra.contains(u);
}

} // namespace

void TestCatalogue::textsFitWindows1251()
{
    for (const QString &key : Catalogue::keys()) {
        for (const char *language : {"en", "ru", "ua"}) {
            const QString text = Catalogue::text(key, QString::fromLatin1(language));
            for (const QChar c : text) {
                QVERIFY2(fitsWindows1251(c), qPrintable(QStringLiteral("%1/%2: U+%3")
                                                            .arg(key, QString::fromLatin1(language))
                                                            .arg(c.unicode(), 4, 16, QLatin1Char('0'))));
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
