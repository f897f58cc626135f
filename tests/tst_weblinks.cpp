#include "app/StartUp.h"
#include "reading/frmMain.h"
#include "tests/support/TestSupport.h"
#include "ui_frmAbout.h"
#include "ui_frmMain.h"
#include "web/LinkTable.h"
#include "web/frmAbout.h"
#include "web/modHelp.h"

#include <QAccessible>
#include <QtTest>

#include <functional>

namespace {
const QString kHome = QStringLiteral("http://www.karvelle.example");
const QString kHelp = QStringLiteral("http://help.karvelle.example");

void clickLabel(QWidget *label)
{
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, label->rect().center());
}
} // namespace

class TestWebLinks final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void linkTable_data();
    void linkTable();
    void mainWindowOpensItsRows_data();
    void mainWindowOpensItsRows();
    void clickingTwiceOpensTwice();
    void aPressThatLeavesTheLabelOpensNothing();
    void screenReaderCanPressALink();
    void aboutBoxContent();
    void aboutBoxLinksKeepItOpen();
    void aboutBoxClosesWithOkEnterEscAndCloseBox_data();
    void aboutBoxClosesWithOkEnterEscAndCloseBox();
    void aboutBoxLinksAnswerTabAndSpace();
    void aboutOpensModallyAndFreshEachTime();
};

void TestWebLinks::initTestCase()
{
    isolateUserFolders();
    StartUp::prepareApplication();
    StartUp::setProgramIcon(); // the About box shows it
}

void TestWebLinks::linkTable_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("address");
    QTest::newRow("home, no trailing slash") << int(WebPage::Home) << kHome;
    QTest::newRow("online help") << int(WebPage::OnlineHelp)
                                 << kHome + "/zenor-free-lyrandel/zenor-free-lyrandel-help.html";
    QTest::newRow("download") << int(WebPage::Download)
                              << kHome + "/zenor-free-lyrandel/download-zenor-free-lyrandel.html";
    QTest::newRow("donate") << int(WebPage::Donate) << kHelp + "/donate.html";
    QTest::newRow("fully branded") << int(WebPage::FullyBranded) << kHelp + "/fully-branded.html";
    QTest::newRow("co-brand") << int(WebPage::CoBrand) << kHelp + "/co-brand.html";
    QTest::newRow("other products") << int(WebPage::OtherProducts) << kHome + "/karvellesoftwares";
}

void TestWebLinks::linkTable()
{
    QFETCH(int, page);
    QFETCH(QString, address);
    QCOMPARE(webPageAddress(static_cast<WebPage>(page)), address);
    UrlRecorder urls;
    modHelp::OpenWebPage(address);
    QCOMPARE(urls.addresses(), QStringList{address}); // handed on unchanged
}

void TestWebLinks::mainWindowOpensItsRows_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("address");
    QTest::newRow("banner") << "Label61" << kHome;
    QTest::newRow("co-brand label") << "lblCobrand" << kHelp + "/co-brand.html";
    QTest::newRow("full-brand label") << "lblFullBrand" << kHelp + "/fully-branded.html";
    QTest::newRow("Online Help") << "mnuOnline"
                                 << kHome + "/zenor-free-lyrandel/zenor-free-lyrandel-help.html";
    QTest::newRow("Visit Us Online") << "mnuVisit" << kHome;
    QTest::newRow("Check for Update")
        << "mnuUpdate" << kHome + "/zenor-free-lyrandel/download-zenor-free-lyrandel.html";
    QTest::newRow("Donate") << "mnuDonate" << kHelp + "/donate.html";
    QTest::newRow("Make Money Online") << "mnuMakeMoney" << kHelp + "/fully-branded.html";
}

void TestWebLinks::mainWindowOpensItsRows()
{
    QFETCH(QString, control);
    QFETCH(QString, address);
    MessageRecorder boxes;
    UrlRecorder urls;
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (auto *action = window.findChild<QAction *>(control)) {
        action->setEnabled(true); // Make Money Online is switched off; its command still has a target
        action->trigger();
    } else {
        auto *label = window.findChild<QWidget *>(control);
        QVERIFY(label);
        label->raise(); // the branding links overlap: click the one in front
        clickLabel(label);
    }
    QCOMPARE(urls.addresses(), QStringList{address});
    QVERIFY(boxes.shown.isEmpty());
}

void TestWebLinks::clickingTwiceOpensTwice()
{
    UrlRecorder urls;
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    clickLabel(window.ui()->Label61);
    clickLabel(window.ui()->Label61);
    QCOMPARE(urls.addresses(), QStringList({kHome, kHome}));
}

void TestWebLinks::aPressThatLeavesTheLabelOpensNothing()
{
    UrlRecorder urls;
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *label = window.ui()->Label61;
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, label->rect().center());
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
    QVERIFY(urls.urls.isEmpty());
}

void TestWebLinks::screenReaderCanPressALink()
{
    UrlRecorder urls;
    frmMain window;
    QAccessibleInterface *link = QAccessible::queryAccessibleInterface(window.ui()->lblFullBrand);
    QVERIFY(link->actionInterface());
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(urls.addresses(), QStringList{kHelp + "/fully-branded.html"});
}

void TestWebLinks::aboutBoxContent()
{
    frmAbout box;
    const Ui::frmAbout *ui = box.ui();
    QCOMPARE(box.windowTitle(), QStringLiteral("Zenor Lyrandel v1.15"));
    QCOMPARE(box.size(), QSize(459, 234));
    QCOMPARE(ui->Label2->text(), QStringLiteral("Zenor Lyrandel v1.15"));
    QVERIFY(ui->Label1->text().startsWith(
        QStringLiteral("Zenor Lyrandel generates a Greek alphabet based reading for your day-to-day "
                       "problems. This will guide "
                       "you to find solutions for your problems and help you attain your goals. ")));
    QCOMPARE(ui->Label3->text(),
             QStringLiteral("Home Business Opportunity. Start your own Internet business and "
                            "make money online. Get this software fully branded for your "
                            "website."));
    QCOMPARE(ui->lblCobrand->text(), QStringLiteral("Click here for more details"));
    QCOMPARE(ui->lblHomePage->text(), QStringLiteral("Click here to visit ") + kHome);
    QCOMPARE(ui->Picture1->pixmap().size(), QSize(32, 32));
    QVERIFY(ui->cmdOK->isDefault());
    // The line crosses the whole window.
    QVERIFY(ui->Line1->x() < 0 && ui->Line1->geometry().right() >= box.width());
    QCOMPARE(ui->Line1->height(), 2);
    // The links end at the right margin and show their whole text.
    for (const QLabel *link :
         {static_cast<QLabel *>(ui->lblHomePage), static_cast<QLabel *>(ui->lblCobrand)}) {
        QCOMPARE(link->geometry().right(), ui->Label3->geometry().right());
        QVERIFY(link->width() >= link->sizeHint().width());
    }
}

void TestWebLinks::aboutBoxLinksKeepItOpen()
{
    UrlRecorder urls;
    frmAbout box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    clickLabel(box.ui()->lblCobrand);
    clickLabel(box.ui()->lblHomePage);
    QCOMPARE(urls.addresses(), QStringList({kHelp + "/fully-branded.html", kHome}));
    QVERIFY(box.isVisible());
}

void TestWebLinks::aboutBoxClosesWithOkEnterEscAndCloseBox_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("Esc") << 2;
    QTest::newRow("close box") << 3;
    QTest::newRow("Enter on a focused link") << 4;
}

void TestWebLinks::aboutBoxClosesWithOkEnterEscAndCloseBox()
{
    QFETCH(int, how);
    UrlRecorder urls;
    frmAbout box;
    QTimer::singleShot(0, &box, [&] {
        switch (how) {
        case 0:
            box.ui()->cmdOK->click();
            break;
        case 1:
            QTest::keyClick(&box, Qt::Key_Return);
            break;
        case 2:
            QTest::keyClick(&box, Qt::Key_Escape);
            break;
        case 4:
            box.ui()->lblHomePage->setFocus();
            QTest::keyClick(box.ui()->lblHomePage, Qt::Key_Return);
            if (box.isVisible())
                box.done(-1); // the key did not close it
            break;
        default:
            box.close();
            break;
        }
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted)); // every way out is OK
    QVERIFY(urls.urls.isEmpty());
}

void TestWebLinks::aboutBoxLinksAnswerTabAndSpace()
{
    UrlRecorder urls;
    frmAbout box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(QApplication::focusWidget(), box.ui()->cmdOK);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box.ui()->lblHomePage);
    QTest::keyClick(box.ui()->lblHomePage, Qt::Key_Space);
    QTest::keyClick(box.ui()->lblHomePage, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box.ui()->lblCobrand);
    QTest::keyClick(box.ui()->lblCobrand, Qt::Key_Space);
    QCOMPARE(urls.addresses(), QStringList({kHome, kHelp + "/fully-branded.html"}));
    QVERIFY(box.isVisible());
}

void TestWebLinks::aboutOpensModallyAndFreshEachTime()
{
    frmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.move(0, 0); // away from the middle, where the box still opens
    QList<QPointer<frmAbout>> seen;
    const auto closeTheBox = [&] {
        auto *box = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen.append(box);
        const QPoint centre = box->screen()->availableGeometry().center();
        const QPoint off = box->frameGeometry().center() - centre;
        box->ui()->cmdOK->click();
        // Transient for the window, so that window managers and compositors keep it over it.
        QCOMPARE(box->parentWidget(), &window);
        QVERIFY(box->isWindow());
        QCOMPARE(box->windowHandle()->transientParent(), window.windowHandle());
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QVERIFY2(off.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("off by %1,%2").arg(off.x()).arg(off.y())));
    };
    for (int i = 0; i < 2; ++i) {
        window.ui()->mnuAbout->trigger(); // the box opens once the menu is done
        QTimer::singleShot(0, this, closeTheBox);
        QTRY_COMPARE(seen.size(), i + 1);
        QVERIFY(seen.last().isNull()); // destroyed on OK
    }
}

QTEST_MAIN(TestWebLinks)
#include "tst_weblinks.moc"
