#include "app/StartUp.h"
#include "app/UpdateReminder.h"
#include "foundation/Clock.h"
#include "foundation/Lifecycle.h"
#include "foundation/RandomGenerator.h"
#include "foundation/Settings.h"
#include "foundation/SingleInstance.h"
#include "reading/frmMain.h"
#include "tests/support/TestSupport.h"
#include "web/modHelp.h"

#include <QCloseEvent>
#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
const QDate kToday(2026, 12, 8);

// Found without opening it: QSettings opens its file as it is made.
QString storeFile()
{
    return Settings::storePath();
}

// Lets the event loop run for a while: long enough for anything queued behind the first frame.
void settle()
{
    QTest::qWait(50);
}

// Closes the main window RunStartUp opened, as the user would; the program's end is only counted.
void closeMainWindow()
{
    EndRecorder ends;
    if (frmMain *window = frmMain::loaded())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SingleInstance::release();
}
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

// What a path is, by lstat: S_IFREG, S_IFIFO, ... (0 when there is nothing).
mode_t kindOf(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

bool runsAsRoot()
{
    return geteuid() == 0;
}

// Puts a file system object of the named kind at path; another user's means uid 65534's.
bool make(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray real = QFile::encodeName(path + QStringLiteral(".real"));
    const auto writeFile = [](const QByteArray &at) {
        QFile file(QFile::decodeName(at));
        return file.open(QIODevice::WriteOnly) && file.write("[Settings]\nDuration=2026-11-24\n") > 0;
    };
    if (kind == QLatin1String("missing"))
        return true;
    if (kind == QLatin1String("regular file"))
        return writeFile(name);
    if (kind == QLatin1String("link to a regular file"))
        return writeFile(real) && symlink(real.constData(), name.constData()) == 0;
    if (kind == QLatin1String("FIFO"))
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("link to a FIFO"))
        return mkfifo(real.constData(), 0600) == 0 && symlink(real.constData(), name.constData()) == 0;
    if (kind == QLatin1String("folder"))
        return mkdir(name.constData(), 0700) == 0;
    if (kind == QLatin1String("dangling link"))
        return symlink(real.constData(), name.constData()) == 0;
    if (kind == QLatin1String("device node"))
        return mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    if (kind == QLatin1String("link to another user's file"))
        return writeFile(real) && chown(real.constData(), 65534, 65534) == 0 &&
               symlink(real.constData(), name.constData()) == 0;
    if (kind == QLatin1String("another user's link to a root file"))
        return writeFile(real) && symlink(real.constData(), name.constData()) == 0 &&
               lchown(name.constData(), 65534, 65534) == 0;
    return false;
}

// Sets an environment variable (unsets it, given a null value) until the returned guard goes.
auto changeEnvironment(const char *name, const QByteArray &value)
{
    const bool had = qEnvironmentVariableIsSet(name);
    const QByteArray old = qgetenv(name);
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
    return qScopeGuard([=] { had ? qputenv(name, old) : qunsetenv(name); });
}
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
    void firstStartRecordsTodaySilently();
    void dueReminderAsksThenRecordsToday_data();
    void dueReminderAsksThenRecordsToday();
    void recentReminderWritesNothing();
    void unreadableValueStartsCountingAfresh();
    void unwritableStoreNeverBlocks();
    void formatErrorElsewhereKeepsTheDate_data();
    void formatErrorElsewhereKeepsTheDate();
    void storeIsWhereQSettingsKeepsIt();
    void storeOpensOnlyRegularFiles_data();
    void storeOpensOnlyRegularFiles();
    void storeThatIsNoFileIsNeverWritten_data();
    void storeThatIsNoFileIsNeverWritten();
    void firstStartWritesOnceAfterTheWindowIsUp();
    void windowClosedBeforeItsFirstFrameStillWrites();
    void dueQuestionComesBeforeTheWindowAndWrites();
    void refusedCopyOnlySaysSoAndEnds_data();
    void refusedCopyOnlySaysSoAndEnds();
    void endProgramClosesEachWindowOnce();
    void endProgramMayBeEnteredFromACloseHandler();
    void secondLockInTheSameSessionIsRefused();
    void lockLeftByAKilledCopyIsTakenOver();
    void lockFolderIsTheUsersOwn_data();
    void lockFolderIsTheUsersOwn();
};

void TestStartUp::initTestCase()
{
    isolateUserFolders();
    QCoreApplication::setApplicationName(QStringLiteral("tst_startup"));
}

void TestStartUp::init()
{
    Clock::setTodayForTest(kToday);
    QFile::remove(storeFile());
    QFile::remove(storeFile() + QStringLiteral(".lock")); // a FIFO, were a run killed in its case
    QApplication::setWindowIcon(QIcon());                 // each start sets it afresh
}

void TestStartUp::cleanup()
{
    // Also after a failure, so the next case starts without a window or a lock.
    closeMainWindow();
    MessageBoxes::setResponderForTest(nullptr);
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

void TestStartUp::firstStartRecordsTodaySilently()
{
    MessageRecorder boxes;
    UrlRecorder urls;
    // The file holds the date as the manual page documents it, whatever the user's language.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    modHelp::UpdateReminder();
    QLocale::setDefault(previous);
    QVERIFY(boxes.shown.isEmpty());
    QFile file(storeFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Settings]\nDuration=2026-12-08\n"));
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
    const QString file = storeFile();
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
    QFile store(storeFile());
    QVERIFY(store.open(QIODevice::WriteOnly));
    QCOMPARE(store.write(file), file.size());
    store.close();
    MessageRecorder shown;
    shown.answer = QMessageBox::No;
    modHelp::UpdateReminder();
    QCOMPARE(shown.shown.size(), boxes);
    QCOMPARE(Settings::reminderDate(), after);
}

void TestStartUp::storeIsWhereQSettingsKeepsIt()
{
    QVERIFY(!QFile::exists(storeFile()));
    QCOMPARE(
        storeFile(),
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tst_startup")).fileName());
}

void TestStartUp::storeOpensOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("mayOpen");
    QTest::addColumn<bool>("needsRoot");
    for (const char *kind : {"missing", "regular file", "link to a regular file"})
        QTest::newRow(kind) << kind << true << false;
    for (const char *kind : {"FIFO", "link to a FIFO", "folder", "dangling link"})
        QTest::newRow(kind) << kind << false << false;
    QTest::newRow("device node") << "device node" << false << true;
    // Root run with a user's home: the user's link must not lead to a file of root's.
    QTest::newRow("another user's link to a root file")
        << "another user's link to a root file" << false << true;
}

void TestStartUp::storeOpensOnlyRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(bool, needsRoot);
    if (needsRoot && !runsAsRoot())
        QSKIP("making device nodes and other users' files needs root");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("store.conf"));
    QVERIFY2(make(kind, path), strerror(errno));
    QTEST(Settings::mayOpen(path), "mayOpen");
}

void TestStartUp::storeThatIsNoFileIsNeverWritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("atTheLock"); // the lock QSettings takes beside the store to write it
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("FIFO as its lock") << "FIFO" << true;
    QTest::newRow("link to another user's file") << "link to another user's file" << false;
}

void TestStartUp::storeThatIsNoFileIsNeverWritten()
{
    QFETCH(QString, kind);
    QFETCH(bool, atTheLock);
    if (kind.contains(QLatin1String("another user")) && !runsAsRoot())
        QSKIP("another user's files need root to make");
    const QString path = atTheLock ? storeFile() + QStringLiteral(".lock") : storeFile();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY2(make(kind, path), strerror(errno));
    // Beside an odd lock, the store itself is a file with a recent date: read, never written.
    if (atTheLock)
        QVERIFY(make(QStringLiteral("regular file"), storeFile()));
    const QString stored = kind != QLatin1String("folder") ? QStringLiteral("2026-11-24") : QString();
    const mode_t before = kindOf(path);
    const auto removeIt = qScopeGuard([&path] {
        QDir(path).removeRecursively();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral(".real"));
    });
    MessageRecorder boxes;
    modHelp::UpdateReminder(); // returns, and asks nothing
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::reminderDate(), stored);
    QVERIFY(!Settings::setReminderDate(QStringLiteral("2026-12-08")));
    QCOMPARE(kindOf(path), before);
    QCOMPARE(Settings::reminderDate(), stored);
}

void TestStartUp::firstStartWritesOnceAfterTheWindowIsUp()
{
    MessageRecorder boxes;
    StartUp::RunStartUp();
    frmMain *window = frmMain::loaded();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    // Nobody sees the write: it waits until the window has been on screen.
    QVERIFY(!QFile::exists(storeFile()));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_COMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    // The title bar and the taskbar get the program's icon, one frame after the window.
    QTRY_COMPARE(window->windowIcon().availableSizes(),
                 QList<QSize>({{16, 16}, {32, 32}, {48, 48}, {64, 64}}));

    // Once only: later frames of the window write nothing.
    QVERIFY(Settings::setReminderDate(QStringLiteral("2026-12-01")));
    window->hide();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->repaint();
    settle();
    closeMainWindow();
    QVERIFY(!frmMain::loaded());
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-01"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartUp::windowClosedBeforeItsFirstFrameStillWrites()
{
    MessageRecorder boxes;
    StartUp::RunStartUp();
    QVERIFY(!QFile::exists(storeFile()));
    closeMainWindow(); // before the event loop ever ran: no frame was shown
    QVERIFY(!frmMain::loaded());
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    QVERIFY(Settings::setReminderDate(QStringLiteral("2026-12-01")));
    settle();
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-01"));
}

void TestStartUp::dueQuestionComesBeforeTheWindowAndWrites()
{
    QVERIFY(Settings::setReminderDate(QStringLiteral("2026-11-23")));
    bool windowAtQuestion = true;
    bool iconAtQuestion = false;
    QString storedAtQuestion;
    MessageBoxes::setResponderForTest([&](const MessageBoxes::Shown &) {
        windowAtQuestion = frmMain::loaded() != nullptr;
        iconAtQuestion = !QApplication::windowIcon().isNull();
        storedAtQuestion = Settings::reminderDate();
        return QMessageBox::No;
    });
    StartUp::RunStartUp();
    MessageBoxes::setResponderForTest(nullptr);
    QVERIFY(!windowAtQuestion);
    QVERIFY(iconAtQuestion); // a box that comes first carries the program's icon
    QCOMPARE(storedAtQuestion, QStringLiteral("2026-11-23"));
    // Answered, so written at once, before the window is even shown.
    QCOMPARE(Settings::reminderDate(), QStringLiteral("2026-12-08"));
    QVERIFY(frmMain::loaded());
}

void TestStartUp::refusedCopyOnlySaysSoAndEnds_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("due: a reminder would show itself") << "2026-11-23";
    QTest::newRow("first start: a reminder would write silently") << QString();
}

void TestStartUp::refusedCopyOnlySaysSoAndEnds()
{
    QFETCH(QString, stored);
    QLockFile running(SingleInstance::lockFilePath());
    QVERIFY(running.tryLock(0));
    if (!stored.isEmpty())
        QVERIFY(Settings::setReminderDate(stored));
    else
        QFile::remove(storeFile());
    MessageRecorder boxes;
    bool iconAtBox = false;
    boxes.whenShown = [&iconAtBox] { iconAtBox = !QApplication::windowIcon().isNull(); };
    UrlRecorder urls;
    EndRecorder ends;
    const quint64 seed = Random::lastSeed();
    StartUp::RunStartUp();
    settle(); // nothing may be left behind to run later either
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(iconAtBox);
    const MessageBoxes::Shown &box = boxes.shown.first();
    QCOMPARE(box.text, QStringLiteral("Application is already running"));
    QCOMPARE(box.title, QStringLiteral("Zenor Lyrandel"));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(ends.ends, 1);
    QVERIFY(QApplication::topLevelWidgets().isEmpty()); // no main window
    QCOMPARE(Random::lastSeed(), seed);
    if (stored.isEmpty())
        QVERIFY(!QFile::exists(storeFile()));
    else
        QCOMPARE(Settings::reminderDate(), stored);
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

void TestStartUp::lockLeftByAKilledCopyIsTakenOver()
{
    // A copy killed outright leaves its file behind, naming a process that is gone.
    QFile left(SingleInstance::lockFilePath());
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write("2147483646\nzenor-lyrandel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    left.close();
    QVERIFY(SingleInstance::acquire());
    QLockFile other(SingleInstance::lockFilePath());
    QVERIFY(!other.tryLock(0));
    SingleInstance::release();
    QVERIFY(!QFile::exists(SingleInstance::lockFilePath()));
}

void TestStartUp::lockFolderIsTheUsersOwn_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("folder"); // runtime, temporary, cache or none
    QTest::addColumn<bool>("userLock");  // the user's lock in the fixed temporary folder
    // Another user's folder, met by a user who is not root: the end-to-end cases.
    QTest::newRow("runtime folder") << ""
                                    << "runtime" << true;
    QTest::newRow("runtime folder holds another user's lock") << "runtime other"
                                                              << "temporary" << true;
    QTest::newRow("no runtime folder") << "no runtime"
                                       << "temporary" << true;
    QTest::newRow("temporary folder anyone can write") << "no runtime,temporary open"
                                                       << "cache" << true;
    QTest::newRow("temporary folder of another user") << "no runtime,temporary other"
                                                      << "cache" << true;
    QTest::newRow("nowhere") << "no runtime,temporary file,cache file"
                             << "none" << true;
    // The user's own lock is never where someone else could take it first or remove it.
    QTest::newRow("user's folder anyone can write") << "fixed open"
                                                    << "runtime" << false;
    QTest::newRow("user's folder is a link") << "fixed link"
                                             << "runtime" << false;
    QTest::newRow("user's folder of another user") << "fixed other"
                                                   << "runtime" << false;
    // Out of file handles: no lock can be made anywhere, and the program still starts.
    QTest::newRow("no lock can be made") << "no files"
                                         << "runtime" << true;
}

void TestStartUp::lockFolderIsTheUsersOwn()
{
    QFETCH(QString, setup);
    QFETCH(QString, folder);
    QFETCH(bool, userLock);
    if (setup.contains(QLatin1String("other")) && !runsAsRoot())
        QSKIP("another user's files need root to make");
    const QStringList steps = setup.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    // $TMPDIR and the fixed temporary folder apart, so that a lock in the wrong one shows.
    const QString runtime = root.filePath(QStringLiteral("runtime")),
                  tmp = root.filePath(QStringLiteral("tmp")), fixed = root.filePath(QStringLiteral("fixed")),
                  home = root.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(runtime) && QDir().mkpath(tmp) && QDir().mkpath(fixed) && QDir().mkpath(home));
    QVERIFY(QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(chmod(QFile::encodeName(tmp).constData(), 01777), 0);
    QCOMPARE(chmod(QFile::encodeName(fixed).constData(), 01777), 0);
    const QString uid = QString::number(geteuid());
    const QString perUser = tmp + QStringLiteral("/zenor-lyrandel-") + uid;
    const QString usersOwn = fixed + QStringLiteral("/zenor-lyrandel-") + uid;
    const QString cache = home + QStringLiteral("/.qttest/cache/zenor-lyrandel"); // the cache in test mode
    const auto runtimeVariable = changeEnvironment(
        "XDG_RUNTIME_DIR",
        steps.contains(QStringLiteral("no runtime")) ? QByteArray() : QFile::encodeName(runtime));
    const auto tmpVariable = changeEnvironment("TMPDIR", QFile::encodeName(tmp));
    const auto homeVariable = changeEnvironment("HOME", QFile::encodeName(home));
    const QString systemTemp = SingleInstance::systemTempFolder();
    const auto restoreSystemTemp =
        qScopeGuard([&] { SingleInstance::setSystemTempFolderForTest(systemTemp); });
    SingleInstance::setSystemTempFolderForTest(fixed);

    const QByteArray lockInRuntime = QFile::encodeName(runtime + QStringLiteral("/zenor-lyrandel.lock"));
    for (const QString &step : steps) {
        if (step == QLatin1String("runtime other")) {
            QVERIFY(make(QStringLiteral("regular file"), QFile::decodeName(lockInRuntime)));
            QCOMPARE(chown(lockInRuntime.constData(), 65534, 65534), 0);
        }
        if (step == QLatin1String("no runtime")) // where Qt would make one: taken by a file
            QVERIFY(make(QStringLiteral("regular file"),
                         tmp + QStringLiteral("/runtime-") +
                             QString::fromLocal8Bit(getpwuid(geteuid())->pw_name)));
        if (step == QLatin1String("temporary open")) {
            QCOMPARE(mkdir(QFile::encodeName(perUser).constData(), 0700), 0);
            QCOMPARE(chmod(QFile::encodeName(perUser).constData(), 0777), 0);
        }
        if (step == QLatin1String("temporary other"))
            QVERIFY(QDir().mkdir(perUser) && chown(QFile::encodeName(perUser).data(), 65534, 65534) == 0);
        if (step == QLatin1String("temporary file"))
            QVERIFY(make(QStringLiteral("regular file"), perUser));
        if (step == QLatin1String("fixed open")) {
            QCOMPARE(mkdir(QFile::encodeName(usersOwn).constData(), 0700), 0);
            QCOMPARE(chmod(QFile::encodeName(usersOwn).constData(), 0777), 0);
        }
        if (step == QLatin1String("fixed link")) // to a folder of the user's own, made private
            QVERIFY(QDir().mkdir(root.filePath(QStringLiteral("mine")),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
                    QFile::link(root.filePath(QStringLiteral("mine")), usersOwn));
        if (step == QLatin1String("fixed other"))
            QVERIFY(QDir().mkdir(usersOwn) && chown(QFile::encodeName(usersOwn).data(), 65534, 65534) == 0);
        if (step == QLatin1String("cache file")) {
            QVERIFY(QDir().mkpath(home + QStringLiteral("/.qttest")));
            QVERIFY(make(QStringLiteral("regular file"), home + QStringLiteral("/.qttest/cache")));
        }
    }
    const mode_t runtimeLock = kindOf(QFile::decodeName(lockInRuntime));

    const QString expected = folder == QLatin1String("runtime")     ? runtime
                             : folder == QLatin1String("temporary") ? perUser
                             : folder == QLatin1String("cache")     ? cache
                                                                    : QString();
    const QString path = SingleInstance::lockFilePath();
    QCOMPARE(path, expected.isEmpty() ? QString() : expected + QStringLiteral("/zenor-lyrandel.lock"));
    // The user's lock is in the fixed temporary folder whenever that is usable, whatever the others.
    QCOMPARE(SingleInstance::userLockFilePath(),
             userLock ? usersOwn + QStringLiteral("/zenor-lyrandel.lock") : QString());
    const bool noFiles = steps.contains(QStringLiteral("no files"));
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
    std::vector<int> handles;
    if (noFiles) { // every file handle of a lower limit taken
        const rlimit fewer{256, limit.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &fewer), 0);
        for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;)
            handles.push_back(fd);
    }
    const bool started = SingleInstance::acquire();
    for (int fd : handles)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &limit);
    QVERIFY(started); // wherever the lock is, or nowhere: the program starts
    if (!expected.isEmpty() && !noFiles) {
        QVERIFY(SingleInstance::isPrivateFolder(expected, geteuid()));
        QLockFile other(path);
        QVERIFY(!other.tryLock(0));
    }
    SingleInstance::release();
    // Whatever was in the way is left as it was.
    QCOMPARE(kindOf(QFile::decodeName(lockInRuntime)), runtimeLock);
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
