#include "saved/OpenDialog.h"
#include "saved/SavedReadingFile.h"
#include "saved/Scramble.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#define MAKE_FIFO(path) QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0)
#define UNIX_ONLY(why)
#else
#define MAKE_FIFO(path) QSKIP("FIFOs are a Unix file kind")
#define UNIX_ONLY(why) QSKIP(why)
#endif

using SavedReading::kMaxBytesScanned;
using SavedReading::kMaxLineBytes;

namespace {

QStringList toList(const SavedReading::Lines &lines)
{
    return QStringList(lines.begin(), lines.end());
}

QStringList six(QStringList lines)
{
    while (lines.size() < SavedReading::kLinesRead)
        lines.append(QString());
    return lines;
}

// Hands out at most one byte per read, so every line end falls on a read boundary.
class TrickleDevice final : public QIODevice
{
public:
    explicit TrickleDevice(QByteArray data) : m_data(std::move(data)) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        if (m_pos >= m_data.size() || max <= 0)
            return -1;
        *out = m_data.at(m_pos++);
        return 1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// An endless stream of "ab" CR LF, counting what was taken from it.
class EndlessLines final : public QIODevice
{
public:
    bool isSequential() const override { return true; }
    qint64 taken = 0;

protected:
    qint64 readData(char *out, qint64 max) override
    {
        static const char kPattern[] = {'a', 'b', '\r', '\n'};
        for (qint64 i = 0; i < max; ++i)
            out[i] = kPattern[(taken + i) % 4];
        taken += max;
        return max;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

// An endless stream of 'x' with no line end at all.
class EndlessLine final : public QIODevice
{
public:
    bool isSequential() const override { return true; }
    qint64 taken = 0;

protected:
    qint64 readData(char *out, qint64 max) override
    {
        std::fill(out, out + max, 'x');
        taken += max;
        return max;
    }
    qint64 writeData(const char *, qint64) override { return -1; }
};

} // namespace

class TestSaved final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void readFirstLines_data();
    void readFirstLines();
    void readFirstLines_capsLongLines_data();
    void readFirstLines_capsLongLines();
    void readFirstLines_endlessDevicesAreBounded();
    void readFirstLines_stopsAtScanLimit_data();
    void readFirstLines_stopsAtScanLimit();
    void readFirstLines_leavesDeviceAsFound();
    void readFirstLines_unreadableGivesEmptySlots_data();
    void readFirstLines_unreadableGivesEmptySlots();
    void readFirstLines_unreadablePermissions();

    void extensionTest_data();
    void extensionTest();

    void scramble_data();
    void scramble();
    void scramble_roundTripsEveryCode();
    void scramble_anyLength_data();
    void scramble_anyLength();

    void chooser_isUsedWhenSet();
    void dialog_isConfigured();
    void nameFilters_data();
    void nameFilters();
    void refusal_data();
    void refusal();
    void stateOf_realFiles();
    void stateOf_readOnly();
    void realDialog_typedNames_data();
    void realDialog_typedNames();
};

void TestSaved::initTestCase()
{
    isolateUserFolders();
}

void TestSaved::readFirstLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r')
            allBytes.append(char(b));
    QString allCodes;
    for (const char c : std::as_const(allBytes))
        allCodes.append(QChar(uchar(c)));

    QTest::newRow("CR LF") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n")
                           << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("lone CR") << QByteArray("1\r2\r3\r4\r5\r6") << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("lone LF stays in the line") << QByteArray("a\nb\r\nc\n") << six({"a\nb", "c\n"});
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << six({"a\n", "b"});
    QTest::newRow("CR CR LF is two ends") << QByteArray("a\r\r\nb") << six({"a", "", "b"});
    QTest::newRow("three lines") << QByteArray("x\r\ny\r\nz\r\n") << six({"x", "y", "z"});
    QTest::newRow("last line without end") << QByteArray("x\r\ny") << six({"x", "y"});
    QTest::newRow("empty file") << QByteArray() << six({});
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n\xb6\xb7\xb8\r\n\r\n\x86")
                                 << QStringList{"", "", "", "\u00b6\u00b7\u00b8", "", "\u0086"};
    QTest::newRow("only line ends") << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n") << six({});
    QTest::newRow("more than six") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8")
                                   << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("sixth line ends in lone CR")
        << QByteArray("1\r2\r3\r4\r5\r6\r\n7") << QStringList{"1", "2", "3", "4", "5", "6"};
    QTest::newRow("binary bytes keep their codes")
        << (QByteArray("h\r\n") + allBytes + QByteArray("\r\n\0\0\r\n\0", 7))
        << six({"h", allCodes, QString(2, QChar(0)), QString(1, QChar(0))});
}

void TestSaved::readFirstLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QBuffer buffer(&bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(buffer)), expected);

    TrickleDevice trickle(bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(trickle)), expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("reading.num")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();
    QCOMPARE(toList(SavedReading::readFirstLines(file.fileName())), expected);
}

void TestSaved::readFirstLines_capsLongLines_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QByteArray>("lineEnd");

    // 64 KiB is also the read chunk, so these put the line end on both sides of a chunk boundary.
    for (const qint64 length : {kMaxLineBytes - 1, kMaxLineBytes, kMaxLineBytes + 1, 3 * kMaxLineBytes + 7})
        for (const char *end : {"\r\n", "\r"})
            QTest::addRow("%lld bytes, %s", length, end[1] ? "CR LF" : "CR") << length << QByteArray(end);
    QTest::newRow("no line end at all") << 10 * kMaxLineBytes << QByteArray();
}

void TestSaved::readFirstLines_capsLongLines()
{
    QFETCH(qint64, length);
    QFETCH(QByteArray, lineEnd);

    // A short first line shifts the long one off the chunk grid.
    QByteArray bytes = "p\r\n" + QByteArray(length, 'x');
    QStringList expected{"p", QString(qMin(length, kMaxLineBytes), QLatin1Char('x'))};
    if (!lineEnd.isEmpty()) {
        bytes += lineEnd + "b\n\r\n\r\n\xb6\r\n\xb7\r\nafter";
        expected += QStringList{"b\n", "", "\u00b6", "\u00b7"};
    }

    QBuffer buffer(&bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(buffer)), six(expected));
    TrickleDevice trickle(bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(trickle)), six(expected));
}

void TestSaved::readFirstLines_endlessDevicesAreBounded()
{
    EndlessLines endless;
    QVERIFY(endless.open(QIODevice::ReadOnly));
    QCOMPARE(toList(SavedReading::readFirstLines(endless)), QStringList(6, QStringLiteral("ab")));
    QVERIFY2(endless.taken <= 64 * 1024, qPrintable(QString::number(endless.taken)));

    EndlessLine line;
    QVERIFY(line.open(QIODevice::ReadOnly));
    QCOMPARE(toList(SavedReading::readFirstLines(line)), six({QString(kMaxLineBytes, QLatin1Char('x'))}));
    QCOMPARE(line.taken, kMaxBytesScanned);
}

void TestSaved::readFirstLines_stopsAtScanLimit_data()
{
    QTest::addColumn<qint64>("lineOne");
    QTest::addColumn<QString>("lineTwo");
    QTest::newRow("line two ends at the limit") << kMaxBytesScanned - 3 << "b";
    QTest::newRow("line two cut at the limit") << kMaxBytesScanned - 2 << "";
    QTest::newRow("line end beyond the limit") << kMaxBytesScanned << "";
}

void TestSaved::readFirstLines_stopsAtScanLimit()
{
    QFETCH(qint64, lineOne);
    QFETCH(QString, lineTwo);
    QByteArray bytes = QByteArray(lineOne, 'x') + "\r\nb";
    QBuffer buffer(&bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(buffer)),
             six({QString(kMaxLineBytes, QLatin1Char('x')), lineTwo}));
}

void TestSaved::readFirstLines_leavesDeviceAsFound()
{
    QByteArray bytes("1\r\n2");
    QBuffer closed(&bytes);
    QCOMPARE(toList(SavedReading::readFirstLines(closed)), six({"1", "2"}));
    QVERIFY(!closed.isOpen());

    QBuffer open(&bytes);
    QVERIFY(open.open(QIODevice::ReadOnly));
    QCOMPARE(toList(SavedReading::readFirstLines(open)), six({"1", "2"}));
    QVERIFY(open.isOpen());

    QBuffer writeOnly(&bytes);
    QVERIFY(writeOnly.open(QIODevice::WriteOnly));
    QCOMPARE(toList(SavedReading::readFirstLines(writeOnly)), six({}));
}

void TestSaved::readFirstLines_unreadableGivesEmptySlots_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("fifo") << "fifo"; // opening it would wait for a writer forever
    QTest::newRow("empty name") << "";
}

void TestSaved::readFirstLines_unreadableGivesEmptySlots()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("gone.num"));
    if (kind == QLatin1String("folder"))
        path = dir.path();
    else if (kind == QLatin1String("fifo"))
        MAKE_FIFO(path);
    else if (kind.isEmpty())
        path.clear();
    QCOMPARE(toList(SavedReading::readFirstLines(path)), six({}));
}

void TestSaved::readFirstLines_unreadablePermissions()
{
    UNIX_ONLY("a file without read permission is a Unix file rule");
    const Unprivileged asUser; // root reads files whatever their permissions
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("locked.num")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    QCOMPARE(toList(SavedReading::readFirstLines(file.fileName())), six({}));
}

void TestSaved::extensionTest_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("passes");
    QTest::newRow("upper-case extension") << "/home/u/READING.NUM" << false;
    QTest::newRow("lower-case extension") << "/home/u/reading.num" << true;
    QTest::newRow("no dot") << "/home/u/datanum" << true;
    QTest::newRow("mixed case") << "reading.nuM" << false;
    QTest::newRow("other extension") << "reading.txt" << false;
    QTest::newRow("trailing space") << "reading.num " << false;
    QTest::newRow("exactly num") << "num" << true;
    QTest::newRow("two characters") << "ab" << true;
    QTest::newRow("empty") << "" << true;
}

void TestSaved::extensionTest()
{
    QFETCH(QString, name);
    QFETCH(bool, passes);
    QCOMPARE(SavedReading::passesExtensionTest(name), passes);
}

void TestSaved::scramble_data()
{
    QTest::addColumn<bool>("scrambling");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("bytes 182 183 184") << false << "\u00b6\u00b7\u00b8"
                                       << "abc";
    QTest::newRow("plain digits") << false << "1991"
                                  << "";
    QTest::newRow("code 85 and 84") << false << "\u0055\u0054" << QString(QChar(0));
    QTest::newRow("abc") << true << "abc"
                         << "\u00b6\u00b7\u00b8";
    QTest::newRow("digits") << true << "0189"
                            << "\u0085\u0086\u008d\u008e";
    QTest::newRow("codes above 170 dropped") << true << "\u00aa\u00ab\u00ffa"
                                             << "\u00ff\u00b6";
    QTest::newRow("beyond single byte dropped") << true << "a\u20acb"
                                                << "\u00b6\u00b7";
    QTest::newRow("beyond single byte unscrambled") << false << "\u00b6\u0100\u00b7"
                                                    << "ab";
    QTest::newRow("empty") << true << ""
                           << "";
}

void TestSaved::scramble()
{
    QFETCH(bool, scrambling);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(scrambling ? ScrambleText(input) : UnscrambleText(input), expected);
}

void TestSaved::scramble_roundTripsEveryCode()
{
    QString plain;
    QString coded;
    for (int code = 0; code <= 170; ++code) {
        plain.append(QChar(code));
        coded.append(QChar(code + 85));
    }
    QCOMPARE(ScrambleText(plain), coded);
    QCOMPARE(UnscrambleText(coded), plain);
    QCOMPARE(UnscrambleText(ScrambleText(plain)), plain);
}

void TestSaved::scramble_anyLength_data()
{
    QTest::addColumn<int>("length");
    for (const int length : {32767, 32768, 100000})
        QTest::addRow("%d", length) << length;
}

void TestSaved::scramble_anyLength()
{
    QFETCH(int, length);
    QString plain;
    for (int i = 0; i < length; ++i)
        plain.append(QChar(i % 171));
    const QString coded = ScrambleText(plain);
    QCOMPARE(coded.size(), length);
    QCOMPARE(UnscrambleText(coded), plain);
}

void TestSaved::chooser_isUsedWhenSet()
{
    QWidget parent;
    QList<QWidget *> parents;
    OpenDialog::setChooserForTest([&parents](QWidget *p) {
        parents.append(p);
        return QStringLiteral("/tmp/first.num");
    });
    QCOMPARE(OpenDialog::chooseSavedReading(&parent), QStringLiteral("/tmp/first.num"));
    OpenDialog::setChooserForTest([](QWidget *) { return QString(); });
    QCOMPARE(OpenDialog::chooseSavedReading(&parent), QString());
    OpenDialog::setChooserForTest(nullptr);
    QCOMPARE(parents, QList<QWidget *>{&parent});
}

void TestSaved::dialog_isConfigured()
{
    QFileDialog dialog; // configured only, never shown
    OpenDialog::configure(dialog);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("Zenor Free Tessarune Pro (*.num)")});
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("num"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select the source file"));
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog)); // the same rules on every desktop
}

void TestSaved::nameFilters_data()
{
    QTest::addColumn<QString>("filterText");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("saved reading") << "Zenor Free Tessarune Pro (*.num)|*.num"
                                   << QStringList{"Zenor Free Tessarune Pro (*.num)"};
    QTest::newRow("caption without pattern") << "Text|*.txt" << QStringList{"Text (*.txt)"};
    QTest::newRow("two entries") << "A|*.a|B (*.b)|*.b" << QStringList{"A (*.a)", "B (*.b)"};
    QTest::newRow("several patterns") << "Pictures|*.png;*.jpg" << QStringList{"Pictures (*.png *.jpg)"};
    QTest::newRow("caption only") << "Lonely" << QStringList{};
}

void TestSaved::nameFilters()
{
    QFETCH(QString, filterText);
    QFETCH(QStringList, expected);
    QCOMPARE(OpenDialog::nameFiltersFrom(filterText), expected);
}

void TestSaved::refusal_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("regular");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<QString>("text");
    QTest::newRow("writable file") << true << true << true << true << QString();
    QTest::newRow("read-only file") << true << true << false << true
                                    << "The file is read-only. Please choose another file.";
    QTest::newRow("write-protected folder")
        << true << true << true << false << "The file lies in a write-protected folder. Please choose another file.";
    QTest::newRow("gone") << false << false << false << false
                          << "The file no longer exists. Please choose another file.";
    QTest::newRow("not a file") << true << false << true << true << "This is not a file. Please choose another file.";
}

void TestSaved::refusal()
{
    QFETCH(bool, exists);
    QFETCH(bool, regular);
    QFETCH(bool, writable);
    QFETCH(bool, folderWritable);
    QFETCH(QString, text);
    QCOMPARE(OpenDialog::refusalFor({exists, regular, writable, folderWritable}), text);
}

void TestSaved::stateOf_realFiles()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("reading.num")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const auto state = OpenDialog::stateOf(file.fileName());
    QVERIFY(state.exists && state.regular && state.writable && state.folderWritable);
    const auto gone = OpenDialog::stateOf(dir.filePath(QStringLiteral("gone.num")));
    QVERIFY(!gone.exists && !gone.regular);
    const auto folder = OpenDialog::stateOf(dir.path());
    QVERIFY(folder.exists && !folder.regular);
}

void TestSaved::stateOf_readOnly()
{
    const Unprivileged asUser; // root writes files whatever their permissions
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("reading.num")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
    QVERIFY(!OpenDialog::stateOf(file.fileName()).writable);

    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    UNIX_ONLY("a folder without write permission is a Unix file rule");
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto state = OpenDialog::stateOf(file.fileName());
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(state.writable && !state.folderWritable);
}

void TestSaved::realDialog_typedNames_data()
{
    QTest::addColumn<QStringList>("files"); // in the folder; "fifo" is made a named pipe
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("box"); // what the dialog says before it is cancelled
    QTest::addColumn<QString>("protect"); // "file" or "folder": made read-only once the files are there

    QTest::newRow("no dot, exists") << QStringList{"datanum"} << "datanum"
                                    << "datanum" << QString() << QString();
    QTest::newRow("suffix appended") << QStringList{"reading.num"} << "reading"
                                     << "reading.num" << QString() << QString();
    QTest::newRow("as typed first") << QStringList{"reading", "reading.num"} << "reading"
                                    << "reading" << QString() << QString();
    QTest::newRow("with suffix") << QStringList{"reading.num"} << "reading.num"
                                 << "reading.num" << QString() << QString();
    QTest::newRow("missing") << QStringList() << "gone" << QString()
                             << "gone.num\nFile not found.\nPlease verify the correct file name was given." << QString();
    QTest::newRow("named pipe") << QStringList{"fifo"} << "fifo" << QString()
                                << "This is not a file. Please choose another file." << QString();
    QTest::newRow("read-only file") << QStringList{"reading.num"} << "reading.num" << QString()
                                    << "The file is read-only. Please choose another file." << "file";
    QTest::newRow("write-protected folder")
        << QStringList{"reading.num"} << "reading.num" << QString()
        << "The file lies in a write-protected folder. Please choose another file." << "folder";
}

// The real dialog, typed into as a person would; every box it shows goes through MessageBoxes.
void TestSaved::realDialog_typedNames()
{
    QFETCH(QStringList, files);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QFETCH(QString, box);
    QFETCH(QString, protect);

    // Root writes whatever the permissions; the other rows run as root, who can see the shared file.
    std::optional<Unprivileged> asUser;
    if (!protect.isEmpty())
        asUser.emplace();
    QTemporaryDir dir;
    for (const QString &name : std::as_const(files)) {
        const QString path = dir.filePath(name);
        if (name == QLatin1String("fifo"))
            MAKE_FIFO(path);
        else
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        if (protect == QLatin1String("file"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    }
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (protect == QLatin1String("folder")) {
        UNIX_ONLY("a folder without write permission is a Unix file rule");
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const auto unprotect = qScopeGuard([&] { QFile::setPermissions(dir.path(), writable); });
    const QString sharedMemory = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
    QFile::remove(sharedMemory);
    const QString ownStore = QSettings(QSettings::UserScope, QStringLiteral("tst_saved")).fileName();

    MessageRecorder boxes;
    int rounds = 0;
    QStringList startedIn; // the folder each Open starts in
    QTimer driver;
    connect(&driver, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (rounds == 0 && edit && !edit->hasFocus()) {
            dialog->activateWindow(); // typed into once it has the focus, as a person would
            return;
        }
        if (++rounds == 1)
            startedIn.append(dialog->directory().absolutePath());
        if (rounds == 1 && edit && startedIn.size() == 1) {
            QTest::keyClicks(edit, dir.filePath(typed));
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            dialog->reject();
        }
    });
    driver.start(20);
    const QString result = OpenDialog::chooseSavedReading(nullptr);
    rounds = 0;
    OpenDialog::chooseSavedReading(nullptr); // cancelled at once
    driver.stop();
    // Within a run, the next Open starts in the folder of the file last chosen.
    QCOMPARE(startedIn.value(1), chosen.isEmpty() ? startedIn.value(0) : dir.path());

    QCOMPARE(result, chosen.isEmpty() ? QString() : dir.filePath(chosen));
    QCOMPARE(boxes.texts(), box.isEmpty() ? QStringList() : QStringList{box});
    for (const MessageBoxes::Shown &shown : std::as_const(boxes.shown)) {
        QCOMPARE(shown.title, QStringLiteral("Select the source file"));
        QCOMPARE(shown.icon, QMessageBox::Warning);
    }
    // The dialog's history and last folder are not kept in the file all Qt programs share.
    QVERIFY(!QFile::exists(sharedMemory));
    QCOMPARE(QSettings(QSettings::UserScope, QStringLiteral("tst_saved")).fileName(), ownStore);
}

QTEST_MAIN(TestSaved)
#include "tst_saved.moc"
