#include "app/StartUp.h"
#include "foundation/RandomGenerator.h"
#include "promotion/frmPromotion.h"
#include "reading/frmMain.h"
#include "saved/OpenDialog.h"
#include "tests/support/TestSupport.h"
#include "ui_frmMain.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The open command: choose a saved reading, decode its birth date, read again.
class TestOpenReading final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void cancelChangesNothing();
    void fileNameTest_data();
    void fileNameTest();
    void validFileReadsAgain();
    void validFileWithoutNameAsksForIt();
    void fileRemovedAfterChoosingStillReads();
    void existingPromotionScreenIsKeptHidden();

private:
    QString writeFile(const QString &name, const QByteArray &content);
    void choose(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageRecorder> m_boxes;
    QPointer<frmMain> m_window;
    int m_dialogs = 0;
};

void TestOpenReading::initTestCase()
{
    isolateUserFolders();
    StartUp::prepareApplication();
}

void TestOpenReading::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_boxes = std::make_unique<MessageRecorder>();
    m_window = new frmMain;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_dialogs = 0;
}

void TestOpenReading::cleanup()
{
    OpenDialog::setChooserForTest(nullptr);
    Random::clearQueueForTest();
    if (m_window) {
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete m_window;
    }
    delete frmPromotion::loaded();
    m_boxes.reset();
}

QString TestOpenReading::writeFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

void TestOpenReading::choose(const QString &path)
{
    OpenDialog::setChooserForTest([this, path](QWidget *parent) {
        ++m_dialogs;
        return parent == m_window ? path : QStringLiteral("/wrong/parent.txt");
    });
}

void TestOpenReading::cancelChangesNothing()
{
    choose(QString());
    m_window->ui()->txtName->setText(QStringLiteral("Ada"));
    m_window->ui()->cmdOpen->click();
    QCOMPARE(m_dialogs, 1);
    QVERIFY(m_boxes->shown.isEmpty());
    QCOMPARE(m_window->ui()->lblCaption_0->text(), QStringLiteral("Name"));
    QVERIFY(!frmPromotion::loaded());
}

void TestOpenReading::fileNameTest_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("reading.num") << "reading.num" << true;
    QTest::newRow("datanum, no dot") << "datanum" << true;
    QTest::newRow("READING.NUM") << "READING.NUM" << false;
    QTest::newRow("reading.txt") << "reading.txt" << false;
}

void TestOpenReading::fileNameTest()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    choose(writeFile(name, "a\r\nb\r\nc\r\n\xb7\xb8\r\n"));
    m_window->ui()->txtName->setText(QStringLiteral("Ada"));
    Random::queueForTest({0.0f});
    m_window->ui()->cmdOpen->click();
    if (accepted) {
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(m_window->ui()->lblCaption_0->text(), QStringLiteral("ALPHA"));
        QVERIFY(frmPromotion::loaded() && !frmPromotion::loaded()->isVisible());
    } else {
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("Please Check The File.")});
        QCOMPARE(m_boxes->shown.first().icon, QMessageBox::Critical);
        QCOMPARE(m_window->ui()->lblCaption_0->text(), QStringLiteral("Name")); // no reading
        QVERIFY(!frmPromotion::loaded());
    }
}

void TestOpenReading::validFileReadsAgain()
{
    // Month "abc" (182 183 184), day and year of plain digits, which have no decoded form.
    choose(writeFile(QStringLiteral("birth.num"), "one\r\ntwo\rthree\r\n\xb6\xb7\xb8\r\n1991\r\n1991"));
    m_window->ui()->txtName->setText(QStringLiteral("Ada"));
    Random::queueForTest({0.5f});
    m_window->ui()->cmdOpen->click();
    QVERIFY(m_boxes->shown.isEmpty());
    // What the person sees: the reading, in front, with their name kept for the next one.
    const Ui::frmMain *ui = m_window->ui();
    QCOMPARE(ui->lblCaption_0->text(), QStringLiteral("NU"));
    QCOMPARE(ui->lblCaption_1->text(), QStringLiteral("Conflict"));
    QVERIFY(!ui->picOracle->pixmap().isNull());
    const QWidget *inFront = ui->centralwidget->childAt(ui->fraResult->geometry().center());
    QVERIFY(inFront == ui->fraResult || ui->fraResult->isAncestorOf(inFront));
    QCOMPARE(QApplication::focusWidget(), ui->cmdBack);
    QCOMPARE(ui->txtName->text(), QStringLiteral("Ada"));
    QPointer<frmPromotion> promotion = frmPromotion::loaded();
    QVERIFY(promotion);
    QVERIFY(!promotion->isVisible());
}

void TestOpenReading::validFileWithoutNameAsksForIt()
{
    choose(writeFile(QStringLiteral("birth.num"), "1\r\n2\r\n3\r\n"));
    m_window->ui()->cmdOpen->click();
    QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("Please Enter Your First Name")});
    QCOMPARE(m_window->ui()->lblCaption_0->text(), QStringLiteral("Name"));
    // The screen is created even so: the command goes on past the name check.
    QVERIFY(frmPromotion::loaded() && !frmPromotion::loaded()->isVisible());
}

void TestOpenReading::fileRemovedAfterChoosingStillReads()
{
    const QString path = writeFile(QStringLiteral("gone.num"), "x\r\n");
    OpenDialog::setChooserForTest([path](QWidget *) {
        QFile::remove(path);
        return path;
    });
    m_window->ui()->txtName->setText(QStringLiteral("Ada"));
    Random::queueForTest({0.0f});
    m_window->ui()->cmdOpen->click();
    QVERIFY(m_boxes->shown.isEmpty());
    QCOMPARE(m_window->ui()->lblCaption_0->text(), QStringLiteral("ALPHA"));
}

void TestOpenReading::existingPromotionScreenIsKeptHidden()
{
    QPointer<frmPromotion> before = frmPromotion::instance();
    before->show();
    choose(writeFile(QStringLiteral("again.num"), "\r\n"));
    m_window->ui()->txtName->setText(QStringLiteral("Ada"));
    m_window->ui()->cmdOpen->click();
    QCOMPARE(frmPromotion::loaded(), before.data());
    QVERIFY(!before->isVisible());
}

QTEST_MAIN(TestOpenReading)
#include "tst_openreading.moc"
