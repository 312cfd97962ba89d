#include "DbWorker.h"
#include "FbDatabase.h"
#include "FbError.h"
#include "FbQuery.h"
#include "FbTransaction.h"
#include "TestLibrary.h"

#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

namespace
{

// A count the engine needs many seconds for: long enough to be stopped while it runs.
const QString kEndlessCount = QStringLiteral(
    "SELECT COUNT(*) FROM rdb$fields a, rdb$fields b, rdb$fields c, rdb$fields d");

QVariant scalar(FbDatabase &db, const QString &sql)
{
    FbQuery q(&db);
    q.setSqlText(sql);
    q.open();
    return q.isEmpty() ? QVariant() : q.value(0, 0);
}

void exec(FbDatabase &db, const QString &sql)
{
    FbQuery q(&db);
    q.setSqlText(sql);
    q.execSQL();
}

const QString kInsertBook = QStringLiteral(
    "INSERT INTO book (title, author, iyear, publisher, genre) VALUES ('Kobzar', 'Shevchenko', '1840', 'P', 'G')");

} // namespace

class TestDbWorker : public QObject
{
    Q_OBJECT
    TestLibrary m_library;
    FbDatabase m_db;
    FbTransaction m_tr{&m_db};

private slots:
    void initTestCase()
    {
        QVERIFY(m_library.isValid());
        m_library.configure(m_db);
        m_db.open();
    }

    void jobRunsOffTheWindowThreadAndDeliversOnIt()
    {
        DbWorker worker(&m_db);
        QSignalSpy finished(&worker, &DbWorker::finished);
        QThread *jobThread = nullptr;
        QThread *deliveredOn = nullptr;
        connect(&worker, &DbWorker::finished, this, [&] { deliveredOn = QThread::currentThread(); });
        QVERIFY(worker.start([&](DbWorker::Control &c) {
            jobThread = QThread::currentThread();
            return scalar(c.database(), QStringLiteral("SELECT COUNT(*) FROM rdb$relations"));
        }));
        QVERIFY(worker.running());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
        QVERIFY(!worker.running());
        QVERIFY(jobThread && jobThread != QThread::currentThread());
        QCOMPARE(deliveredOn, QThread::currentThread());
        QVERIFY(finished.at(0).at(0).toInt() > 10);
    }

    void stopCancelsTheStatementInTheEngineWhileTheWindowLives()
    {
        DbWorker worker(&m_db);
        QSignalSpy failed(&worker, &DbWorker::failed);
        QSignalSpy started(&worker, &DbWorker::progress);
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, this, [&] { ++ticks; });
        clock.start(10);
        worker.start([](DbWorker::Control &c) {
            FbDatabase &db = c.database();
            c.progress(0, 0, QStringLiteral("counting"));
            return scalar(db, kEndlessCount);
        });
        QTRY_VERIFY_WITH_TIMEOUT(started.count() == 1 && ticks >= 5, 60000);
        QVERIFY(worker.running());
        worker.stop();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 60000);
        QCOMPARE(failed.at(0).at(1).toBool(), true);
        QVERIFY2(failed.at(0).at(0).toString().contains(QLatin1String("cancelled"), Qt::CaseInsensitive),
                 qPrintable(failed.at(0).at(0).toString()));
    }

    void workIsKeptOnlyWhenTheJobSucceeds_data()
    {
        QTest::addColumn<bool>("throws");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("booksAdded");
        QTest::newRow("succeeds") << false << false << 1;
        QTest::newRow("throws") << true << false << 0;
        QTest::newRow("stopped") << false << true << 0;
    }
    void workIsKeptOnlyWhenTheJobSucceeds()
    {
        QFETCH(bool, throws);
        QFETCH(bool, stopped);
        QFETCH(int, booksAdded);
        const int before = scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM book")).toInt();
        DbWorker worker(&m_db);
        QSignalSpy finished(&worker, &DbWorker::finished);
        QSignalSpy failed(&worker, &DbWorker::failed);
        QSignalSpy inserted(&worker, &DbWorker::progress);
        worker.start([&](DbWorker::Control &c) {
            exec(c.database(), kInsertBook);
            c.progress(1, 0);
            if (throws)
                throw FbError(QStringLiteral("the job gave up"));
            if (stopped)
                scalar(c.database(), kEndlessCount);
            return QVariant(true);
        });
        if (stopped) {
            QTRY_COMPARE_WITH_TIMEOUT(inserted.count(), 1, 60000);
            worker.stop();
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.count() + failed.count(), 1, 60000);
        QCOMPARE(finished.count(), booksAdded);
        if (throws)
            QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("the job gave up"));
        // The main attachment sees what another program would: only committed work.
        m_tr.commitRetaining();
        QCOMPARE(scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM book")).toInt(), before + booksAdded);
    }

    void commitKeepsEarlierStepsOfAStoppedJob()
    {
        const int before = scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM book")).toInt();
        DbWorker worker(&m_db);
        QSignalSpy failed(&worker, &DbWorker::failed);
        QSignalSpy stepDone(&worker, &DbWorker::progress);
        worker.start([](DbWorker::Control &c) {
            exec(c.database(), kInsertBook);
            c.commit();
            exec(c.database(), kInsertBook);
            c.progress(1, 0);
            return scalar(c.database(), kEndlessCount);
        });
        QTRY_COMPARE_WITH_TIMEOUT(stepDone.count(), 1, 60000);
        worker.stop();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 60000);
        m_tr.commitRetaining();
        QCOMPARE(scalar(m_db, QStringLiteral("SELECT COUNT(*) FROM book")).toInt(), before + 1);
    }

    void oneJobAtATimeAndStopAllReachesEveryWorker()
    {
        DbWorker first(&m_db);
        DbWorker second(nullptr);
        QSignalSpy firstFailed(&first, &DbWorker::failed);
        QSignalSpy secondFailed(&second, &DbWorker::failed);
        first.start([](DbWorker::Control &c) { return scalar(c.database(), kEndlessCount); });
        QVERIFY(!first.start([](DbWorker::Control &) { return QVariant(); }));
        // A job without a library that only stops when asked (a network library, say).
        second.start([](DbWorker::Control &c) {
            while (!c.stopRequested())
                QThread::msleep(5);
            return QVariant();
        });
        QVERIFY(DbWorker::anyRunning());
        QVERIFY(DbWorker::stopAllAndWait(60000));
        QTRY_VERIFY_WITH_TIMEOUT(firstFailed.count() == 1 && secondFailed.count() == 1, 60000);
        QVERIFY(!DbWorker::anyRunning());
        QCOMPARE(secondFailed.at(0).at(1).toBool(), true);
    }

    void aJobWithoutALibraryCannotReachOne()
    {
        DbWorker worker(nullptr);
        QSignalSpy failed(&worker, &DbWorker::failed);
        worker.start([](DbWorker::Control &c) {
            c.database();
            return QVariant();
        });
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 60000);
        QCOMPARE(failed.at(0).at(1).toBool(), false);
    }
};

QTEST_MAIN(TestDbWorker)
#include "tst_dbworker.moc"
