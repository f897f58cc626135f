#include "app/StartUp.h"
#include "app/UpdateReminder.h"
#include "foundation/Clock.h"
#include "foundation/Lifecycle.h"
#include "foundation/RandomGenerator.h"
#include "foundation/Settings.h"
#include "foundation/SingleInstance.h"
#include "tests/support/TestSupport.h"
#include "web/modHelp.h"

#include <QCloseEvent>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace {
const QDate kToday(2026, 12, 8);
const QString kDownload =
    QStringLiteral("http://www.karvelle.example/zenor-free-lyrandel/download-zenor-free-lyrandel.html");

// A window that counts how often its close handling runs, and may call EndProgram from it.
class CountingWindow final : public QWidget
{
public:
    int closes = 0;
    bool endFromClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closes;
        event->accept();
        if (endFromClose)
            modHelp::EndProgram();
    }
};
} // namespace

class TestStartUp final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void reminderDecision_data();
    void reminderDecision();
    void storedDateIsIsoWhateverTheLocale();
    void firstStartRecordsTodaySilently();
    void dueReminderAsksThenRecordsToday_data();
    void dueReminderAsksThenRecordsToday();
    void recentReminderWritesNothing();
    void unreadableValueStartsCountingAfresh();
    void unwritableStoreNeverBlocks();
    void formatErrorElsewhereKeepsTheDate_data();
    void formatErrorElsewhereKeepsTheDate();
    void refusedCopyOnlySaysSoAndEnds();
    void endProgramClosesEachWindowOnce();
    void endProgramMayBeEnteredFromACloseHandler();
    void secondLockInTheSameSessionIsRefused();
};

void TestStartUp::initTestCase()
{
    isolateUserFolders();
    QCoreApplication::setApplicationName(QStringLiteral("tst_startup"));
}

void TestStartUp::init()
{
    Clock::setTodayForTest(kToday);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tst_startup")).clear();
}

void TestStartUp::cleanup()
{
    Clock::setTodayForTest(std::nullopt);
}

void TestStartUp::reminderDecision_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("action");
    const int ask = int(Reminder::Action::Ask), silent = int(Reminder::Action::StaySilent),
              record = int(Reminder::Action::RecordToday);
    QTest::newRow("first start") << QString() << record;
    QTest::newRow("today") << "2026-12-08" << silent;
    QTest::newRow("14 days before") << "2026-11-24" << silent;
    QTest::newRow("15 days before") << "2026-11-23" << ask;
    QTest::newRow("14 days after") << "2026-12-22" << silent;
    QTest::newRow("15 days after") << "2026-12-23" << ask;
    QTest::newRow("a year before") << "2025-12-08" << ask;
    QTest::newRow("not a date") << "soon" << record;
    QTest::newRow("another date form") << "08/12/2026" << record;
    QTest::newRow("impossible date") << "2026-02-30" << record;
}

void TestStartUp::reminderDecision()
{
    QFETCH(QString, stored);
    QFETCH(int, action);
    QCOMPARE(int(Reminder::decide(stored, kToday)), action);
}

void TestStartUp::storedDateIsIsoWhateverTheLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString encoded = Reminder::encode(kToday);
    QLocale::setDefault(previous);
    QCOMPARE(encoded, QStringLiteral("2026-12-08"));
    QCOMPARE(Reminder::decode(encoded), kToday);
}

void TestStartUp::firstStartRecordsTodaySilently()
{
    MessageRecorder boxes;
    UrlRecorder urls;
    modHelp::UpdateReminder();
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    QVERIFY(urls.urls.isEmpty());
}

void TestStartUp::dueReminderAsksThenRecordsToday_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("Yes opens the download page") << int(QMessageBox::Yes) << QStringList{kDownload};
    QTest::newRow("No opens nothing") << int(QMessageBox::No) << QStringList();
}

void TestStartUp::dueReminderAsksThenRecordsToday()
{
    QFETCH(int, answer);
    QFETCH(QStringList, opened);
    QVERIFY(Settings::setReminderDate(QStringLiteral("2026-11-23")));
    MessageRecorder boxes;
    boxes.answer = static_cast<QMessageBox::StandardButton>(answer);
    UrlRecorder urls;
    QStringList storedWhenOpened;
    urls.whenOpened = [&storedWhenOpened](const QUrl &) {
        storedWhenOpened.append(Settings::reminderDate());
    };
    modHelp::UpdateReminder();
    QCOMPARE(boxes.shown.size(), 1);
    const MessageBoxes::Shown &box = boxes.shown.first();
    QCOMPARE(box.text,
             QStringLiteral("There maybe an update to this software available\rDo you want to check for "
                            "an update?"));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.title, QStringLiteral("Zenor Lyrandel"));
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    QCOMPARE(urls.addresses(), opened);
    // Written before the page opens, so a browser that fails cannot bring the question back.
    QCOMPARE(storedWhenOpened, opened.isEmpty() ? QStringList() : QStringList{QStringLiteral("2026-12-08")});
}

void TestStartUp::recentReminderWritesNothing()
{
    QVERIFY(Settings::setReminderDate(QStringLiteral("2026-11-24")));
    MessageRecorder boxes;
    modHelp::UpdateReminder();
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-11-24"));
}

void TestStartUp::unreadableValueStartsCountingAfresh()
{
    QVERIFY(Settings::setReminderDate(QStringLiteral("12/Nov/26")));
    MessageRecorder boxes;
    modHelp::UpdateReminder();
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    // Fifteen days on it asks again: the reminder was not silenced for good.
    Clock::setTodayForTest(kToday.addDays(15));
    modHelp::UpdateReminder();
    QCOMPARE(boxes.shown.size(), 1);
}

void TestStartUp::unwritableStoreNeverBlocks()
{
    const QString file =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tst_startup")).fileName();
    QFile::remove(file);
    QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    QFile::setPermissions(file, QFile::ReadOwner);
    MessageRecorder boxes;
    modHelp::UpdateReminder(); // must return, silently
    QVERIFY(boxes.shown.isEmpty());
    const bool writable = Settings::setReminderDate(QStringLiteral("2026-12-08"));
    const bool anyoneMayWrite = QFileInfo(file).isWritable(); // root ignores permissions
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(file);
    QCOMPARE(writable, anyoneMayWrite);
}

void TestStartUp::formatErrorElsewhereKeepsTheDate_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QString>("after");
    QTest::newRow("due, broken line before")
        << QByteArray("[broken\n[Settings]\nDuration=2026-11-23\n") << 1 << "2026-12-08";
    QTest::newRow("recent, broken line after")
        << QByteArray("[Settings]\nDuration=2026-11-24\n[broken\n") << 0 << "2026-11-24";
    QTest::newRow("no date, broken line")
        << QByteArray("[broken\n[Settings]\nOther=1\n") << 0 << "2026-12-08";
}

void TestStartUp::formatErrorElsewhereKeepsTheDate()
{
    QFETCH(QByteArray, file);
    QFETCH(int, boxes);
    QFETCH(QString, after);
    QFile store(
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tst_startup")).fileName());
    QVERIFY(store.open(QIODevice::WriteOnly));
    QCOMPARE(store.write(file), file.size());
    store.close();
    MessageRecorder shown;
    shown.answer = QMessageBox::No;
    modHelp::UpdateReminder();
    QCOMPARE(shown.shown.size(), boxes);
    QCOMPARE(Settings::reminderDate(), after);
}

void TestStartUp::refusedCopyOnlySaysSoAndEnds()
{
    QLockFile running(SingleInstance::lockFilePath());
    QVERIFY(running.tryLock(0));
    Settings::setReminderDate(QStringLiteral("2026-11-23")); // due: a reminder would show itself
    MessageRecorder boxes;
    UrlRecorder urls;
    EndRecorder ends;
    const quint64 seed = Random::lastSeed();
    StartUp::RunStartUp();
    QCOMPARE(boxes.shown.size(), 1);
    const MessageBoxes::Shown &box = boxes.shown.first();
    QCOMPARE(box.text, QStringLiteral("Application is already running"));
    QCOMPARE(box.title, QStringLiteral("Zenor Lyrandel"));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(ends.ends, 1);
    QVERIFY(QApplication::topLevelWidgets().isEmpty()); // no main window
    QCOMPARE(Random::lastSeed(), seed);
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-11-23"));
    QVERIFY(urls.urls.isEmpty());
}

void TestStartUp::endProgramClosesEachWindowOnce()
{
    EndRecorder ends;
    CountingWindow shown, hidden;
    shown.show();
    hidden.hide(); // loaded but not visible: still closed
    modHelp::EndProgram();
    QCOMPARE(shown.closes, 1);
    QCOMPARE(hidden.closes, 1);
    QCOMPARE(ends.ends, 1);
    QVERIFY(Lifecycle::isEnding());
}

void TestStartUp::endProgramMayBeEnteredFromACloseHandler()
{
    EndRecorder ends;
    CountingWindow first, second, third;
    first.endFromClose = true;
    second.endFromClose = true;
    first.show();
    second.show();
    third.show();
    modHelp::EndProgram();
    // The first close handler's call closes the rest and ends; the outer walk never resumes.
    QCOMPARE(first.closes, 1);
    QCOMPARE(second.closes, 1);
    QCOMPARE(third.closes, 1);
    QCOMPARE(ends.ends, 1);
}

void TestStartUp::secondLockInTheSameSessionIsRefused()
{
    QVERIFY(SingleInstance::acquire());
    QLockFile other(SingleInstance::lockFilePath());
    QVERIFY(!other.tryLock(0));
    QCOMPARE(other.error(), QLockFile::LockFailedError);
    SingleInstance::release();
    QVERIFY(other.tryLock(0));
    other.unlock();
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
