#include "app/StartUp.h"
#include "foundation/Look.h"
#include "foundation/RandomGenerator.h"
#include "promotion/frmPromotion.h"
#include "reading/SignTable.h"
#include "reading/frmMain.h"
#include "saved/OpenDialog.h"
#include "tests/support/TestSupport.h"
#include "ui_frmMain.h"

#include <QAccessible>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {
QString nameRefusal()
{
    return QStringLiteral("Please Enter Character Only");
}
float rFor(int index)
{
    return static_cast<float>(index) / 23.0f;
}
// Just the pixels: the format and ratio a decoder or a grab happens to give are left out.
QImage pixels(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1.0);
    return image;
}
bool hiDpi()
{
    return qApp->devicePixelRatio() > 1.0;
}
// A sign's drawing straight from the assets folder: the 74 px file, or its 148 px "@2x" twin.
QImage drawnSign(int index, bool twice)
{
    QString name = SignTable::pictureKey(index + 1).value();
    if (twice)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
    return pixels(QImage(QStringLiteral(ZL_ASSETS_DIR "/signs/") + name));
}
} // namespace

class TestFrmMain final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutAsDesigned();
    void fontsAndColours_data();
    void fontsAndColours();
    void tabOrderKeepsToWhatIsShown();
    void emptyNameIsRefused();
    void readingShowsTheDrawnSign_data();
    void readingShowsTheDrawnSign();
    void aPictureThatCannotBeSetIsCleared();
    void picturesForEachDensity_data();
    void picturesForEachDensity();
    void windowIconForTheScreenDensity();
    void spacesOnlyNameStillReads();
    void backEmptiesBothFields();
    void accessKeysOfCoveredPageStayLive();
    void keyFilterRefusesNonLetters_data();
    void keyFilterRefusesNonLetters();
    void keyFilterLetsLettersAndEditingKeysThrough();
    void chordsThatProduceNoCharacterInsertNothing_data();
    void chordsThatProduceNoCharacterInsertNothing();
    void inputMethodCommitIsJudgedCharacterByCharacter_data();
    void inputMethodCommitIsJudgedCharacterByCharacter();
    void pasteIsNotFiltered();
    void enterPressesTheFocusedButton();
    void screenReaderNames();
    void bannerPick_data();
    void bannerPick();
    void closingShowsThePromotionScreenOnce_data();
    void closingShowsThePromotionScreenOnce();

private:
    std::unique_ptr<MessageRecorder> m_boxes;
    QPointer<frmMain> m_window;
};

void TestFrmMain::initTestCase()
{
    isolateUserFolders();
    // The run under QT_SCALE_FACTOR=2 (tst_frmmain_2x) must really be at ratio 2, or it tests 1x twice.
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        QCOMPARE(qApp->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    StartUp::prepareApplication();
    StartUp::setProgramIcon();
}

void TestFrmMain::init()
{
    m_boxes = std::make_unique<MessageRecorder>();
    m_window = new frmMain;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    m_window->ui()->txtName->setFocus();
}

void TestFrmMain::cleanup()
{
    if (m_window) {
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete m_window;
    }
    if (frmPromotion *promotion = frmPromotion::loaded())
        delete promotion;
    Random::clearQueueForTest();
    m_boxes.reset();
}

// The front page is the sibling that lies last in its parent's stacking order.
static QWidget *frontPage(const Ui::frmMain *ui)
{
    const QObjectList &children = ui->centralwidget->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (*it == ui->fraMain || *it == ui->fraResult)
            return static_cast<QWidget *>(*it);
    }
    return nullptr;
}

void TestFrmMain::layoutAsDesigned()
{
    const Ui::frmMain *ui = m_window->ui();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Zenor Lyrandel v1.15"));
    QCOMPARE(ui->centralwidget->size(), QSize(521, 261));
    QCOMPARE(frontPage(ui), ui->fraMain);
    QCOMPARE(ui->fraMain->geometry(), ui->fraResult->geometry());
    QVERIFY(ui->fraResult->isVisible() && ui->fraResult->isEnabled());
    QVERIFY(!(m_window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(ui->cmdNext->text(), QStringLiteral("&Get My Lyrandel Reading"));
    QCOMPARE(ui->cmdBack->text(), QStringLiteral("&Back"));
    QCOMPARE(ui->cmdOpen->text(), QStringLiteral("&Open Previously Saved Reading"));
    QCOMPARE(ui->fraResult->title(), QStringLiteral("Lyrandel Result"));
    QCOMPARE(ui->fraBirthDay->title(), QStringLiteral("* Birth Day"));
    QCOMPARE(ui->lblLabel_0->text(), QStringLiteral("Enter First Name"));
    QCOMPARE(ui->lblLabel_1->text(), QStringLiteral("Ask A Question"));
    QCOMPARE(ui->lblLabel_2->text(),
             QStringLiteral("Let the Zenor Lyrandel guide you in solving your problems. "
                            "Enter your problem and get a reading instantly."));
    QVERIFY(ui->lblCobrand->text().startsWith(QStringLiteral("Co-brand this software for your site.")));
    QCOMPARE(ui->lblFullBrand->geometry(), ui->lblCobrand->geometry());

    // Present, enabled, yet below the visible client area.
    for (QWidget *unseen : {static_cast<QWidget *>(ui->cmdOpen), static_cast<QWidget *>(ui->fraBirthDay)}) {
        QVERIFY(unseen->isVisible() && unseen->isEnabled());
        QVERIFY(unseen->y() >= ui->centralwidget->height());
    }
    QCOMPARE(ui->cboMonth->count(), 0);

    // The menu bar, in order. The switched-off item is hidden, and a hidden command is kept off the
    // bar so that it claims no access key; shown, it takes its place at the end.
    const auto menuBar = [ui] {
        QStringList top;
        for (QAction *action : ui->menubar->actions())
            top << action->text();
        return top;
    };
    QCOMPARE(menuBar(), QStringList({"&File", "&Help", "&Donate"}));
    QCOMPARE(ui->mnuMakeMoney->text(), QStringLiteral("Make Money &Online"));
    QVERIFY(!ui->mnuMakeMoney->isEnabled());
    QVERIFY(!ui->mnuMakeMoney->isVisible());
    ui->mnuMakeMoney->setVisible(true);
    QCOMPARE(menuBar(), QStringList({"&File", "&Help", "&Donate", "Make Money &Online"}));
    ui->mnuMakeMoney->setVisible(false);
    QCOMPARE(menuBar(), QStringList({"&File", "&Help", "&Donate"}));
    QStringList help;
    for (QAction *action : ui->mnuHelp->actions())
        help << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(help, QStringList({"&Online Help", "&Visit Us Online", "-", "&Check for Software Update", "-",
                                "&About Software"}));
    QCOMPARE(ui->mnuExit->text(), QStringLiteral("E&xit"));
}

namespace {
// Where a person first sees a control.
enum class Seen { FirstFrame, BelowClientArea, ResultPage };
} // namespace
Q_DECLARE_METATYPE(Seen)

void TestFrmMain::fontsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<Seen>("seen");
    const QColor white(255, 255, 255), magenta(255, 0, 255), pink(255, 128, 255);
    const Seen first = Seen::FirstFrame, below = Seen::BelowClientArea, result = Seen::ResultPage;
    QTest::newRow("banner") << "Label61"
                            << "Verdana" << 8.25 << true << true << white << first;
    QTest::newRow("full brand") << "lblFullBrand"
                                << "Verdana" << 8.25 << true << true << white << first;
    QTest::newRow("co-brand") << "lblCobrand"
                              << "Verdana" << 8.25 << true << true << white << first;
    QTest::newRow("open button") << "cmdOpen"
                                 << "Verdana" << 9.75 << true << false << QColor() << below;
    QTest::newRow("birth day") << "fraBirthDay"
                               << "Verdana" << 8.25 << true << false << QColor(64, 64, 64) << below;
    QTest::newRow("year") << "Label7"
                          << "MS Sans Serif" << 8.25 << false << false << QColor(0, 0, 0) << below;
    QTest::newRow("day list") << "cboDate"
                              << "Verdana" << 8.25 << false << false << QColor() << below;
    QTest::newRow("name field") << "txtName"
                                << "Verdana" << 8.25 << false << false << QColor() << first;
    QTest::newRow("next") << "cmdNext"
                          << "Verdana" << 8.25 << true << false << QColor() << first;
    QTest::newRow("first name label") << "lblLabel_0"
                                      << "Verdana" << 8.25 << true << false << magenta << first;
    QTest::newRow("invitation") << "lblLabel_2"
                                << "Verdana" << 8.25 << true << false << pink << first;
    QTest::newRow("result page") << "fraResult"
                                 << "Verdana" << 9.0 << true << false << white << result;
    QTest::newRow("back") << "cmdBack"
                          << "Verdana" << 8.25 << true << false << QColor() << result;
    QTest::newRow("keyword label") << "lblLabel_4"
                                   << "Verdana" << 8.25 << true << false << magenta << result;
    QTest::newRow("interpretation") << "lblCaption_2"
                                    << "Verdana" << 8.25 << false << false << pink << result;
}

// A control's font and text colour as one comparable line.
static QString lookOf(const QWidget *form, const QString &name)
{
    const auto *w = form->findChild<QWidget *>(name);
    if (!w)
        return QStringLiteral("no such control");
    const QFont f = w->font();
    return QStringLiteral("%1 %2 pt%3%4 %5")
        .arg(f.family())
        .arg(f.pointSizeF())
        .arg(f.bold() ? QStringLiteral(" bold") : QString(),
             f.underline() ? QStringLiteral(" underlined") : QString(),
             w->palette().color(QPalette::WindowText).name());
}

void TestFrmMain::fontsAndColours()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(QColor, text);
    QFETCH(Seen, seen);
    const auto *w = m_window->findChild<QWidget *>(name);
    QVERIFY(w);
    const QString expected =
        QStringLiteral("%1 %2 pt%3%4 %5")
            .arg(installedFamily(family)) // asked for by an installed name
            .arg(points)
            .arg(bold ? QStringLiteral(" bold") : QString(),
                 underline ? QStringLiteral(" underlined") : QString(),
                 (text.isValid() ? text : w->palette().color(QPalette::WindowText)).name());

    // A control has its look whenever it can be seen: what the first frame shows from the start, the
    // result page the moment it comes to the front, even before the window's first frame is out.
    frmMain fresh;
    if (seen == Seen::FirstFrame)
        QCOMPARE(lookOf(&fresh, name), expected);
    if (seen == Seen::ResultPage) {
        fresh.show();
        fresh.ui()->txtName->setText(QStringLiteral("Ada"));
        fresh.cmdNext_Click();
        QCOMPARE(frontPage(fresh.ui()), fresh.ui()->fraResult);
        QCOMPARE(lookOf(&fresh, name), expected);
    }
    // Once the first frame is out, everything has it, seen or not.
    QTRY_COMPARE(lookOf(m_window, name), expected);

    // The two pages and the branding band are black; the co-brand labels are opaque.
    for (const char *opaque : {"centralwidget", "fraMain", "fraResult", "fraFullBrand", "lblCobrand"}) {
        const auto *panel = m_window->findChild<QWidget *>(QLatin1String(opaque));
        QVERIFY(panel->autoFillBackground());
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(0, 0, 0));
    }
}

void TestFrmMain::tabOrderKeepsToWhatIsShown()
{
    // Nothing below the client area, nor the page behind, is reached (the links only with a screen
    // reader: the heard session).
    const Ui::frmMain *ui = m_window->ui();
    QList<QWidget *> expected{ui->txtQuestion, ui->cmdNext, ui->txtName};
    for (int page = 0; page < 2; ++page) {
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        ui->txtName->setText(QStringLiteral("Ada"));
        ui->cmdNext->click();
        expected = {ui->picOracle, ui->cmdBack};
    }
    QVERIFY(m_boxes->shown.isEmpty());
}

void TestFrmMain::emptyNameIsRefused()
{
    const Ui::frmMain *ui = m_window->ui();
    ui->txtQuestion->setPlainText(QStringLiteral("Will it rain?"));
    Random::queueForTest({0.5f});
    ui->cmdNext->click();
    QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("Please Enter Your First Name")});
    QCOMPARE(m_boxes->shown.first().icon, QMessageBox::Critical);
    QCOMPARE(m_boxes->shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_boxes->shown.first().title, QStringLiteral("Zenor Lyrandel"));
    QCOMPARE(frontPage(ui), ui->fraMain);
    QCOMPARE(QApplication::focusWidget(), ui->txtName);
    QCOMPARE(ui->txtQuestion->toPlainText(), QStringLiteral("Will it rain?"));
    QCOMPARE(Random::next(), 0.5f); // no draw was taken
}

void TestFrmMain::readingShowsTheDrawnSign_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<int>("index");
    QTest::newRow("Alpha") << 0.0f << "ALPHA"
                           << "All" << 0;
    QTest::newRow("Gamma") << rFor(2) << "GAMMA"
                           << "The Earth" << 2;
    QTest::newRow("Mu") << rFor(11) << "MU"
                        << "Hard Work" << 11;
    QTest::newRow("Nu at one half") << 0.5f << "NU"
                                    << "Conflict" << 12;
    QTest::newRow("Khi") << rFor(21) << "KHI"
                         << "Golden" << 21;
    QTest::newRow("Omega") << std::nextafter(1.0f, 0.0f) << "OMEGA"
                           << "Complex" << 23;
}

void TestFrmMain::readingShowsTheDrawnSign()
{
    QFETCH(float, r);
    QFETCH(QString, name);
    QFETCH(QString, keyword);
    QFETCH(int, index);
    const Ui::frmMain *ui = m_window->ui();
    ui->lblCaption_2->setFont(designFont(QStringLiteral("Verdana"), 8.25 * 1.25)); // a family a quarter wider
    QTest::keyClicks(ui->txtName, QStringLiteral("Ada"));
    Random::queueForTest({r});
    ui->cmdNext->click();

    QVERIFY(m_boxes->shown.isEmpty());
    QCOMPARE(frontPage(ui), ui->fraResult);
    QCOMPARE(QApplication::focusWidget(), ui->cmdBack);
    QCOMPARE(ui->lblCaption_0->text(), name);
    QCOMPARE(ui->lblCaption_1->text(), keyword);
    QCOMPARE(ui->lblCaption_2->text(), SignTable::interpretation(index).value());
    QVERIFY(ui->lblCaption_2->heightForWidth(ui->lblCaption_2->width()) <= ui->lblCaption_2->height());
    // The drawing made for the screen's density, in 74 x 74 device-independent pixels either way,
    // and painted inside the frame pixel for pixel, not scaled.
    const bool twice = hiDpi();
    const QImage drawn = drawnSign(index, twice);
    QCOMPARE(drawn.size(), twice ? QSize(148, 148) : QSize(74, 74));
    const QPixmap shown = ui->picOracle->pixmap();
    QCOMPARE(shown.deviceIndependentSize(), QSizeF(74, 74));
    QCOMPARE(pixels(shown.toImage()), drawn);
    const qreal ratio = ui->picOracle->devicePixelRatio();
    const QImage painted = pixels(ui->picOracle->grab().toImage());
    QCOMPARE(painted.copy(QRect(ui->picOracle->contentsRect().topLeft() * ratio, drawn.size())), drawn);
}

void TestFrmMain::aPictureThatCannotBeSetIsCleared()
{
    const Ui::frmMain *ui = m_window->ui();
    ui->txtName->setText(QStringLiteral("Ada"));
    Random::queueForTest({0.0f});
    ui->cmdNext->click();
    QVERIFY(!ui->picOracle->pixmap().isNull());
    // A draw of 24 has texts (empty) but no picture: the old Alpha must not stay beside them.
    Random::queueForTest({24.0f / 23.0f});
    ui->cmdNext->click();
    QCOMPARE(ui->lblCaption_0->text(), QString());
    QVERIFY(ui->picOracle->pixmap().isNull());
    QCOMPARE(frontPage(ui), ui->fraResult);
}

void TestFrmMain::picturesForEachDensity_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("twice");
    QTest::newRow("96 dpi") << 1.0 << false;
    QTest::newRow("125 %") << 1.25 << true;
    QTest::newRow("150 %") << 1.5 << true;
    QTest::newRow("200 %") << 2.0 << true;
    QTest::newRow("300 %") << 3.0 << true;
}

void TestFrmMain::picturesForEachDensity()
{
    QFETCH(qreal, ratio);
    QFETCH(bool, twice);
    const PictureList &pictures = m_window->IMG();
    for (int position = 1; position <= PictureList::kCount; ++position) {
        const QPixmap picture = pictures.picture(position, ratio);
        QCOMPARE(picture.devicePixelRatio(), twice ? 2.0 : 1.0);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(74, 74));
        QCOMPARE(pixels(picture.toImage()), drawnSign(position - 1, twice));
    }
    QVERIFY(pictures.picture(0, ratio).isNull());
    QVERIFY(pictures.picture(PictureList::kCount + 1, ratio).isNull());
}

// A 96 dpi start decodes only the four small sizes; a dense screen also gets 128 px, so the
// 64 px icon is drawn from pixels of its own rather than blown up.
void TestFrmMain::windowIconForTheScreenDensity()
{
    const QIcon icon = m_window->windowIcon();
    const bool twice = hiDpi();
    QList<QSize> sizes{{16, 16}, {32, 32}, {48, 48}, {64, 64}};
    if (twice)
        sizes.append(QSize(128, 128));
    QCOMPARE(icon.availableSizes(), sizes);
    const QImage shown = pixels(icon.pixmap(QSize(64, 64), 2.0).toImage());
    QCOMPARE(shown.size(), twice ? QSize(128, 128) : QSize(64, 64));
    if (twice)
        QCOMPARE(shown, pixels(QImage(QStringLiteral(ZL_ASSETS_DIR "/icons/zenor-lyrandel-128.png"))));
}

void TestFrmMain::spacesOnlyNameStillReads()
{
    const Ui::frmMain *ui = m_window->ui();
    ui->txtName->setText(QStringLiteral("  "));
    ui->cmdNext->click();
    QVERIFY(m_boxes->shown.isEmpty());
    QCOMPARE(frontPage(ui), ui->fraResult);
}

void TestFrmMain::backEmptiesBothFields()
{
    const Ui::frmMain *ui = m_window->ui();
    ui->txtName->setText(QStringLiteral("Ada"));
    ui->txtQuestion->setPlainText(QStringLiteral("Should I move?"));
    Random::queueForTest({0.0f});
    ui->cmdNext->click();
    ui->cmdBack->click();
    QCOMPARE(ui->txtName->text(), QString());
    QCOMPARE(ui->txtQuestion->toPlainText(), QString());
    QCOMPARE(frontPage(ui), ui->fraMain);
    QCOMPARE(QApplication::focusWidget(), ui->txtName);
    QCOMPARE(ui->lblCaption_0->text(), QStringLiteral("ALPHA")); // the last reading stays behind
}

void TestFrmMain::accessKeysOfCoveredPageStayLive()
{
    const Ui::frmMain *ui = m_window->ui();
    QTest::keyClicks(ui->txtName, QStringLiteral("Ada"));
    Random::queueForTest({0.0f, rFor(5)});
    QTest::keyClick(m_window, Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(frontPage(ui), ui->fraResult);
    QCOMPARE(ui->lblCaption_0->text(), QStringLiteral("ALPHA"));
    // Alt+G from the result page draws again for the same name.
    QTest::keyClick(m_window, Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(ui->lblCaption_0->text(), QStringLiteral("ZETA"));
    // Alt+B from the input page runs Back even though the result page lies behind it.
    ui->fraMain->raise();
    QTest::keyClick(m_window, Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(ui->txtName->text(), QString());
    QVERIFY(m_boxes->shown.isEmpty());

    // Alt+O opens the Open dialog at the first press, from either page.
    int opened = 0;
    OpenDialog::setChooserForTest([&opened](QWidget *) {
        ++opened;
        return QString(); // cancelled
    });
    QTest::keyClick(m_window, Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(opened, 1);
    ui->fraResult->raise();
    QTest::keyClick(m_window, Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(opened, 2);
    OpenDialog::setChooserForTest(nullptr);
    QVERIFY(m_boxes->shown.isEmpty());
}

void TestFrmMain::keyFilterRefusesNonLetters_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << QStringLiteral(" ");
    QTest::newRow("digit") << int(Qt::Key_7) << int(Qt::NoModifier) << QStringLiteral("7");
    QTest::newRow("hyphen") << int(Qt::Key_Minus) << int(Qt::NoModifier) << QStringLiteral("-");
    QTest::newRow("apostrophe") << int(Qt::Key_Apostrophe) << int(Qt::NoModifier) << QStringLiteral("'");
    QTest::newRow("accented") << int(Qt::Key_Eacute) << int(Qt::NoModifier) << QStringLiteral("\u00e9");
    QTest::newRow("enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << QStringLiteral("\r");
    QTest::newRow("escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << QStringLiteral("\x1b");
    QTest::newRow("ctrl+v") << int(Qt::Key_V) << int(Qt::ControlModifier) << QStringLiteral("\x16");
    QTest::newRow("ctrl+x") << int(Qt::Key_X) << int(Qt::ControlModifier) << QStringLiteral("\x18");
    QTest::newRow("ctrl+z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << QStringLiteral("\x1a");
    QTest::newRow("ctrl+minus") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << QStringLiteral("\x1f");
    QTest::newRow("ctrl+shift+2") << int(Qt::Key_At) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << QString();
}

void TestFrmMain::keyFilterRefusesNonLetters()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QLineEdit *name = m_window->ui()->txtName;
    QGuiApplication::clipboard()->setText(QStringLiteral("Pasted"));
    QTest::keyClicks(name, QStringLiteral("Ab"));
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(name, &press);
    QCOMPARE(name->text(), QStringLiteral("Ab"));
    QCOMPARE(m_boxes->texts(), QStringList{nameRefusal()});
    QCOMPARE(m_boxes->shown.first().icon, QMessageBox::Critical);
    QCOMPARE(QApplication::focusWidget(), name);
    QCOMPARE(frontPage(m_window->ui()), m_window->ui()->fraMain); // Enter does not read
}

void TestFrmMain::keyFilterLetsLettersAndEditingKeysThrough()
{
    QLineEdit *name = m_window->ui()->txtName;
    QTest::keyClicks(name, QStringLiteral("Zoe"));
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClick(name, Qt::Key_Left);
    QTest::keyClick(name, Qt::Key_Delete);
    QTest::keyClick(name, Qt::Key_Home);
    QTest::keyClick(name, 'Y');
    QCOMPARE(name->text(), QStringLiteral("YZ"));
    QVERIFY(m_boxes->shown.isEmpty());
    QTest::keyClick(name, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window->ui()->txtQuestion);
    QVERIFY(m_boxes->shown.isEmpty());
}

void TestFrmMain::chordsThatProduceNoCharacterInsertNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    const int alt = Qt::AltModifier;
    QTest::newRow("alt+1") << int(Qt::Key_1) << alt << QStringLiteral("1");
    QTest::newRow("alt+minus") << int(Qt::Key_Minus) << alt << QStringLiteral("-");
    QTest::newRow("alt+period") << int(Qt::Key_Period) << alt << QStringLiteral(".");
    QTest::newRow("alt+shift+1") << int(Qt::Key_Exclam) << int(Qt::AltModifier | Qt::ShiftModifier)
                                 << QStringLiteral("!");
    QTest::newRow("alt+e acute") << int(Qt::Key_Eacute) << alt << QStringLiteral("\u00e9");
    QTest::newRow("ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << QStringLiteral("1");
    QTest::newRow("ctrl+period") << int(Qt::Key_Period) << int(Qt::ControlModifier) << QStringLiteral(".");
}

void TestFrmMain::chordsThatProduceNoCharacterInsertNothing()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QLineEdit *name = m_window->ui()->txtName;
    QTest::keyClicks(name, QStringLiteral("Ann"));
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QApplication::sendEvent(name, &press);
    QCOMPARE(name->text(), QStringLiteral("Ann"));
    QVERIFY(m_boxes->shown.isEmpty());
    QCOMPARE(QApplication::focusWidget(), name);
}

void TestFrmMain::inputMethodCommitIsJudgedCharacterByCharacter_data()
{
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("messages");
    QTest::newRow("letters") << QStringLiteral("Zoe") << QStringLiteral("AbZoe") << 0;
    QTest::newRow("letters then a refused one")
        << QStringLiteral("Zo\u00eb y") << QStringLiteral("AbZo") << 1;
    QTest::newRow("refused first") << QStringLiteral("1Jo") << QStringLiteral("Ab") << 1;
}

void TestFrmMain::inputMethodCommitIsJudgedCharacterByCharacter()
{
    QFETCH(QString, commit);
    QFETCH(QString, expected);
    QFETCH(int, messages);
    QLineEdit *name = m_window->ui()->txtName;
    QTest::keyClicks(name, QStringLiteral("Ab"));
    QInputMethodEvent preedit(QStringLiteral("composing"), {});
    QApplication::sendEvent(name, &preedit);
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(name, &event);
    QCOMPARE(name->text(), expected);
    QCOMPARE(m_boxes->texts(), QStringList(messages, nameRefusal()));
    QCOMPARE(QApplication::focusWidget(), name);
    // Nothing of the composition is left behind in the field.
    QCOMPARE(name->inputMethodQuery(Qt::ImSurroundingText).toString(), expected);
}

void TestFrmMain::pasteIsNotFiltered()
{
    QLineEdit *name = m_window->ui()->txtName;
    QGuiApplication::clipboard()->setText(QStringLiteral("Jean-Luc 2"));
    name->paste(); // what the context menu's Paste does
    QCOMPARE(name->text(), QStringLiteral("Jean-Luc 2"));
    QVERIFY(m_boxes->shown.isEmpty());
}

void TestFrmMain::enterPressesTheFocusedButton()
{
    const Ui::frmMain *ui = m_window->ui();
    ui->txtName->setText(QStringLiteral("Ada"));
    ui->cmdNext->setFocus();
    Random::queueForTest({0.0f});
    QTest::keyClick(ui->cmdNext, Qt::Key_Return);
    QTRY_COMPARE(frontPage(ui), ui->fraResult);
    QCOMPARE(QApplication::focusWidget(), ui->cmdBack);
    // Only a plain Enter presses it: Shift or Ctrl with Enter does nothing here.
    for (const auto modifier : {Qt::ShiftModifier, Qt::ControlModifier}) {
        QTest::keyClick(ui->cmdBack, Qt::Key_Return, modifier);
        QTest::keyClick(ui->cmdBack, Qt::Key_Enter, modifier | Qt::KeypadModifier);
        QVERIFY(!ui->cmdBack->isDown()); // a press shows at once, and clicks a moment later
    }
    QTest::keyClick(ui->cmdBack, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(ui->cmdBack->isDown());
    QTRY_COMPARE(frontPage(ui), ui->fraMain);
    QCOMPARE(ui->txtName->text(), QString());
}

void TestFrmMain::screenReaderNames()
{
    const Ui::frmMain *ui = m_window->ui();
    const auto nameOf = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    QCOMPARE(nameOf(ui->txtName), QStringLiteral("Enter First Name"));
    QCOMPARE(nameOf(ui->txtQuestion), QStringLiteral("Ask A Question"));
    QCOMPARE(nameOf(ui->cmdNext), QStringLiteral("Get My Lyrandel Reading"));
    QCOMPARE(nameOf(ui->Label61), ui->Label61->text());
    QCOMPARE(nameOf(ui->cboMonth), QStringLiteral("Month"));
    QCOMPARE(nameOf(ui->cboDate), QStringLiteral("Date"));
    QCOMPARE(nameOf(ui->cboYear), QStringLiteral("Year"));
    QCOMPARE(QAccessible::queryAccessibleInterface(ui->lblCobrand)->role(), QAccessible::Link);
}

void TestFrmMain::bannerPick_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("front");
    // r x 6 + 1 is exactly 2.5 and 5.5 for these two r: halves go to the even neighbour.
    QTest::newRow("0 gives 1") << 0.0f << 1 << "lblCobrand";
    QTest::newRow("2.5 gives 2") << 0.25f << 2 << "lblFullBrand";
    QTest::newRow("3.4 gives 3") << 0.4f << 3 << "lblCobrand";
    QTest::newRow("4.6 gives 5") << 0.6f << 5 << "lblCobrand";
    QTest::newRow("5.5 gives 6") << 0.75f << 6 << "lblFullBrand";
    QTest::newRow("7 keeps the layout") << std::nextafter(1.0f, 0.0f) << 7 << "lblCobrand";
}

void TestFrmMain::bannerPick()
{
    QFETCH(float, r);
    QFETCH(int, number);
    QFETCH(QString, front);
    Random::queueForTest({r});
    StartUp::CoBrand_Randomize(*m_window);
    QCOMPARE(int(StartUp::intCoBrandRandomNumber()), number);
    const QObjectList &stack = m_window->ui()->fraFullBrand->children();
    QCOMPARE(stack.last()->objectName(), front);
}

void TestFrmMain::closingShowsThePromotionScreenOnce_data()
{
    QTest::addColumn<bool>("viaMenu");
    QTest::addColumn<bool>("promotionExisted");
    QTest::newRow("close box") << false << false;
    QTest::newRow("File Exit") << true << false;
    QTest::newRow("close box, screen already made") << false << true;
}

void TestFrmMain::closingShowsThePromotionScreenOnce()
{
    QFETCH(bool, viaMenu);
    QFETCH(bool, promotionExisted);
    EndRecorder ends;
    QPointer<frmPromotion> early = promotionExisted ? frmPromotion::instance() : nullptr;
    if (early)
        early->hide();

    m_window->setAttribute(Qt::WA_DeleteOnClose, true);
    if (viaMenu)
        m_window->ui()->mnuExit->trigger();
    else
        QVERIFY(m_window->close());

    QTRY_VERIFY(m_window.isNull()); // the main window is gone
    QPointer<frmPromotion> promotion = frmPromotion::loaded();
    QVERIFY(promotion);
    QVERIFY(promotion->isVisible());
    if (promotionExisted)
        QCOMPARE(promotion.data(), early.data());
    QCOMPARE(ends.ends, 0);
    QVERIFY(m_boxes->shown.isEmpty());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
