#include "foundation/Look.h"
#include "foundation/RandomGenerator.h"
#include "promotion/frmPromotion.h"
#include "promotion/modTellAFriend.h"
#include "tests/support/TestSupport.h"
#include "web/LinkTable.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTextDocument>
#include <QWindow>
#include <QtTest>

#include <cmath>

using modTellAFriend::ReferralData;

namespace {

// The screen, shown and active so that focus moves raise the focus handlers.
frmPromotion *openScreen()
{
    frmPromotion *screen = frmPromotion::instance();
    screen->show();
    screen->activateWindow();
    if (!QTest::qWaitForWindowActive(screen))
        qWarning("the promotion screen did not become active");
    return screen;
}

template <typename T = QWidget> T *child(const char *name)
{
    frmPromotion *screen = frmPromotion::loaded();
    return screen ? screen->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

// Whatever the control shows as its text or caption; a multi-line box's breaks read as "\n".
QString textOf(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    if (const auto *box = qobject_cast<const QGroupBox *>(w))
        return box->title();
    if (const auto *line = qobject_cast<const QLineEdit *>(w))
        return line->text();
    if (const auto *multi = qobject_cast<const QPlainTextEdit *>(w)) // no-break spaces kept
        return multi->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    return QStringLiteral("<no text>");
}

void setTextOf(QWidget *w, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(w))
        line->setText(text);
    else if (auto *multi = qobject_cast<QPlainTextEdit *>(w))
        multi->setPlainText(text);
}

const char *const kFields[] = {"txtName", "txtEmail", "txtMessage", "txtFriendName", "txtFriendEmail"};

QStringList fieldTexts()
{
    QStringList texts;
    for (const char *name : kFields)
        texts.append(textOf(child(name)));
    return texts;
}

// The query values as the receiving page reads them.
QStringList decodedValues(const QString &address)
{
    QStringList values;
    const QStringList pairs = address.mid(address.indexOf(u'?') + 1).split(u'&');
    for (const QString &pair : pairs)
        values.append(pair.section(u'=', 0, 0) + u'=' +
                      QUrl::fromPercentEncoding(pair.mid(pair.indexOf(u'=') + 1).toLatin1()));
    return values;
}

QString domain()
{
    return Sites::domain();
}

} // namespace

class TestPromotion : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls_textsAndAccessibleNames_data();
    void controls_textsAndAccessibleNames();
    void controls_fontsAndColours_data();
    void controls_fontsAndColours();
    void window_fixedCentredTopmostWithCloseBoxOnly();
    void window_framePositionKeepsTheTitleBarOnScreen_data();
    void window_framePositionKeepsTheTitleBarOnScreen();
    void layout_columnsAndHiddenMessageField();
    void opening_focusOnExit_tabOrderAsListed();
    void load_picksAppealByWholePartOfRTimesFour_data();
    void load_picksAppealByWholePartOfRTimesFour();
    void instance_createdHiddenOnceAndAfreshAfterClose();

    void focus_placeholderRules_data();
    void focus_placeholderRules();
    void focus_deactivationAndPopupsLeaveTextAlone_data();
    void focus_deactivationAndPopupsLeaveTextAlone();
    void messageField_unseenOpeningTextIsSubmitted();
    void keys_spaceRefusedInEmailFieldsOnly_data();
    void keys_spaceRefusedInEmailFieldsOnly();
    void keys_pastedSpaceNotFiltered();
    void drop_replacesPlaceholderNeverMixes_data();
    void drop_replacesPlaceholderNeverMixes();

    void check1_eachClickOpensHomeOnceAndSpringsBack_data();
    void check1_eachClickOpensHomeOnceAndSpringsBack();
    void goToHome_opensOtherProducts_data();
    void goToHome_opensOtherProducts();

    void submit_refusedPressCapturesAndChangesNothing_data();
    void submit_refusedPressCapturesAndChangesNothing();
    void submit_passingPressOpensEncodedAddressAndKeepsFields();

    void close_everyWayEndsProgramOnce_data();
    void close_everyWayEndsProgramOnce();
};

void TestPromotion::initTestCase()
{
    isolateUserFolders();
    QApplication::setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
}

void TestPromotion::init()
{
    ReferralData = modTellAFriend::Referral();
    Random::clearQueueForTest();
    QVERIFY(!frmPromotion::loaded());
}

void TestPromotion::cleanup()
{
    delete frmPromotion::loaded();
    Random::clearQueueForTest();
}

void TestPromotion::controls_textsAndAccessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accessible");
    const QString label3 =
        QStringLiteral(
            "If you have enjoyed this software you will surely be interested in our other Karvelle "
            "Softwares. From a single software, we have now grown to become the world\u2019s largest "
            "resource of karvelle softwares. Be it astrology, psychic, tarot, numerology or occult, we "
            "have programs in all fields thus giving our users a wide choice depending on their "
            "interests.") +
        QString(61, u' ') +
        QStringLiteral(
            "All the programs in the Karvelle Softwares suite are simple and easy to use. They are not "
            "only fun to use but also very informative. Try them out today and share your experience "
            "with your friends and family. ");
    const QString check1 = QStringLiteral("Click Here To Visit www.karvelle.example Now");
    const QString link = QStringLiteral("Click Here To Visit Karvelle Softwares");
    const QString none; // not a control a person uses
    struct Row
    {
        const char *name;
        QString text;
        QString accessible;
    };
    const Row rows[] = {
        {"Label1", QStringLiteral("Zenor Lyrandel v1.15"), none},
        {"Check1", check1, check1},
        {"cmdClose", QStringLiteral("E&xit"), QStringLiteral("Exit")},
        {"Frame2", QStringLiteral("Refer A Friend"), none},
        {"cmdSubmit", QStringLiteral("Refer A Friend &Now"), QStringLiteral("Refer A Friend Now")},
        {"Frame6", QStringLiteral("Download Karvelle Softwares"), none},
        {"Label3", label3, none},
        {"lblGoToHome", link, link},
        {"txtName", QStringLiteral("Your Name"), QStringLiteral("Your Name")},
        {"txtEmail", QStringLiteral("Your Email Address"), QStringLiteral("Your Email Address")},
        {"txtMessage", QStringLiteral("Your Message\n"), QStringLiteral("Your Message")},
        {"txtFriendName", QStringLiteral("Friend's Name"), QStringLiteral("Friend's Name")},
        {"txtFriendEmail", QStringLiteral("Friend's Email Address"),
         QStringLiteral("Friend's Email Address")},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.text << row.accessible;
}

void TestPromotion::controls_textsAndAccessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, accessible);
    QVERIFY(frmPromotion::instance());
    QWidget *w = child(name.toLatin1().constData());
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(textOf(w), text);
    if (!accessible.isNull()) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), accessible);
    }
}

void TestPromotion::controls_fontsAndColours_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<bool>("pointingHand");

    const QColor any; // invalid: colour not checked
    QTest::newRow("Label1") << "Label1"
                            << "MS Sans Serif" << 18.0 << false << false << any << false;
    QTest::newRow("Label2") << "Label2"
                            << "Verdana" << 9.75 << true << false << any << false;
    QTest::newRow("Check1") << "Check1"
                            << "Verdana" << 14.25 << false << false << QColor(0, 0, 192) << true;
    QTest::newRow("Frame2") << "Frame2"
                            << "Verdana" << 9.75 << true << false << any << false;
    QTest::newRow("cmdSubmit") << "cmdSubmit"
                               << "Verdana" << 8.25 << true << false << any << false;
    QTest::newRow("Frame6") << "Frame6"
                            << "Verdana" << 9.75 << true << false << any << false;
    QTest::newRow("Label3") << "Label3"
                            << "Verdana" << 9.0 << false << false << QColor(Qt::white) << false;
    QTest::newRow("lblGoToHome") << "lblGoToHome"
                                 << "Verdana" << 9.0 << true << true << QColor(255, 255, 0) << true;
}

void TestPromotion::controls_fontsAndColours()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(QColor, text);
    QFETCH(bool, pointingHand);

    openScreen();
    QWidget *w = child(name.toLatin1().constData());
    QVERIFY(w);
    w->ensurePolished();
    QCOMPARE(w->font().family(), installedFamily(family)); // asked for by an installed name
    QCOMPARE(w->font().pointSizeF(), points);
    QCOMPARE(w->font().bold(), bold);
    QCOMPARE(w->font().underline(), underline);
    if (text.isValid())
        QCOMPARE(w->palette().color(w->foregroundRole()), text);
    QCOMPARE(w->cursor().shape() == Qt::PointingHandCursor, pointingHand);
}

void TestPromotion::window_fixedCentredTopmostWithCloseBoxOnly()
{
    frmPromotion *screen = openScreen();
    QCOMPARE(screen->windowTitle(), QStringLiteral("Zenor Lyrandel v1.15"));
    QCOMPARE(screen->size(), QSize(741, 315));
    QCOMPARE(screen->minimumSize(), QSize(741, 315));
    QCOMPARE(screen->maximumSize(), QSize(741, 315));

    const Qt::WindowFlags flags = screen->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    // Except on Wayland, where the compositor decides what stays on top and where windows open.
    for (const char *platform : {"xcb", "wayland", "wayland-egl"})
        QCOMPARE(programPlacesWindows(QLatin1String(platform)), platform[0] == 'x');
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(screen->testAttribute(Qt::WA_DeleteOnClose));
    // Read as a dialog on opening: its title, then its texts.
    QCOMPARE(QAccessible::queryAccessibleInterface(screen)->role(), QAccessible::Dialog);

    QCOMPARE(screen->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    const auto *picture = child<QLabel>("Picture1");
    QCOMPARE(picture->size(), QSize(32, 32));
    QVERIFY(picture->hasScaledContents());
    QVERIFY(!picture->pixmap().isNull());
    QCOMPARE(picture->pixmap().toImage(), QApplication::windowIcon().pixmap(32, 32).toImage());

    const QPoint centre = screen->screen()->availableGeometry().center();
    QVERIFY2((screen->frameGeometry().center() - centre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window at %1,%2").arg(screen->x()).arg(screen->y())));
}

void TestPromotion::window_framePositionKeepsTheTitleBarOnScreen_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("fits: centred") << QSize(743, 337) << QRect(0, 0, 1280, 1024) << QPoint(268, 343);
    QTest::newRow("fits exactly") << QSize(800, 576) << QRect(0, 24, 800, 576) << QPoint(0, 24);
    // This screen at 1.5 times on 1024 x 600, its panel on top: too wide, tall enough.
    QTest::newRow("too wide: at the left edge, centred down")
        << QSize(743, 337) << QRect(0, 20, 683, 380) << QPoint(0, 41);
    QTest::newRow("too tall: at the top edge, centred across")
        << QSize(300, 500) << QRect(40, 0, 600, 480) << QPoint(190, 0);
    QTest::newRow("too big: at the top left corner")
        << QSize(743, 337) << QRect(8, 24, 632, 312) << QPoint(8, 24);
}

void TestPromotion::window_framePositionKeepsTheTitleBarOnScreen()
{
    QFETCH(QSize, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, position);
    QCOMPARE(framePosition(frame, available), position);
}

void TestPromotion::layout_columnsAndHiddenMessageField()
{
    frmPromotion *screen = openScreen();
    const QWidget *frame6 = child("Frame6");
    const QWidget *frame2 = child("Frame2");
    // The right column is about a third of the width and the whole height; the form sits at the bottom left.
    QVERIFY(std::abs(frame6->x() - screen->width() * 2 / 3) < screen->width() / 20);
    QCOMPARE(frame6->geometry().right(), screen->rect().right());
    QCOMPARE(frame6->height(), screen->height());
    QCOMPARE(frame2->geometry().bottom(), screen->rect().bottom());
    QVERIFY(frame2->geometry().right() < frame6->x());
    for (const char *name : {"Label2", "Check1", "cmdClose"})
        QVERIFY2(child(name)->geometry().right() < frame6->x(), name);

    // The message field takes the focus but lies below the panel's visible area.
    QWidget *message = child("txtMessage");
    QVERIFY(message->isVisible());
    QVERIFY(message->visibleRegion().isEmpty());
    QVERIFY(message->y() >= frame2->height());
    for (const char *name : {"txtName", "txtEmail", "txtFriendName", "txtFriendEmail", "cmdSubmit"})
        QVERIFY2(!child(name)->visibleRegion().isEmpty(), name);

    // The link label is one line (that it shows its whole caption is tst_looks' walk).
    QVERIFY(!child<QLabel>("lblGoToHome")->wordWrap());
}

void TestPromotion::opening_focusOnExit_tabOrderAsListed()
{
    openScreen();
    QCOMPARE(QApplication::focusWidget(), child("cmdClose"));

    QStringList order;
    for (int i = 0; i < 9; ++i) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused);
        order.append(focused->objectName());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    // The message field below the form's visible area is passed by.
    QCOMPARE(order, QStringList({"cmdClose", "Check1", "txtName", "cmdSubmit", "txtEmail", "txtFriendEmail",
                                 "txtFriendName", "cmdClose", "Check1"}));
}

void TestPromotion::load_picksAppealByWholePartOfRTimesFour_data()
{
    QTest::addColumn<float>("r");
    QTest::addColumn<QString>("message");
    const QString d = domain();
    const QString m0 =
        QStringLiteral("Karvelle Softwares, such as this can be created and maintained only with "
                       "your support. The best way to support Karvelle is to visit ") +
        d +
        QStringLiteral(" regularly and take part in the discussions and other activities on "
                       "the board.");
    const QString m1 =
        QStringLiteral("Visit ") + d + QStringLiteral(" regularly. Support ") + d +
        QStringLiteral(" by taking part in the discussions and other activities. These softwares "
                       "cannot be supported and maintained, without you regularly visiting ") +
        d;
    const QString m2 = d +
                       QStringLiteral(" is a FREE online discussion forum for all things mystic. To help ") +
                       d + QStringLiteral(" develop and maintain this software visit Karvelle regularly.");
    const QString m3 =
        d + QStringLiteral(" needs your help. All you need to do is visit ") + d +
        QStringLiteral(" regularly and take part in the various discussions and activites to help "
                       "us maintain and develop more Karvelle Softwares.");
    QTest::newRow("0.0") << 0.0f << m0;
    QTest::newRow("just below 0.25") << std::nextafter(0.25f, 0.0f) << m0;
    QTest::newRow("0.25") << 0.25f << m1;
    QTest::newRow("0.5") << 0.5f << m2;
    QTest::newRow("just below 0.75") << std::nextafter(0.75f, 0.0f) << m2;
    QTest::newRow("0.75") << 0.75f << m3;
    QTest::newRow("0.999") << 0.999f << m3;
    QTest::newRow("largest below 1") << std::nextafter(1.0f, 0.0f) << m3;
}

void TestPromotion::load_picksAppealByWholePartOfRTimesFour()
{
    QFETCH(float, r);
    QFETCH(QString, message);
    Random::queueForTest({r, 0.9f});
    Random::seedFromTimer();
    const quint64 seedBefore = Random::lastSeed();
    frmPromotion::instance();
    QVERIFY(Random::lastSeed() != seedBefore); // seeded afresh on loading
    const auto *label = child<QLabel>("Label2");
    QCOMPARE(label->text(), message);
    QCOMPARE(Random::next(), 0.9f); // the load draws exactly one value
    QVERIFY(label->wordWrap());     // that every appeal fits its label is tst_looks' walk
}

void TestPromotion::instance_createdHiddenOnceAndAfreshAfterClose()
{
    EndRecorder ends;
    Random::queueForTest({0.0f});
    frmPromotion *first = frmPromotion::instance();
    QCOMPARE(frmPromotion::loaded(), first);
    QCOMPARE(frmPromotion::instance(), first);
    QVERIFY(!first->isVisible());
    QVERIFY(child<QLabel>("Label2")->text().startsWith(QStringLiteral("Karvelle Softwares, such")));

    first->show();
    first->close();
    QTRY_VERIFY(!frmPromotion::loaded());

    Random::queueForTest({0.5f});
    frmPromotion *second = frmPromotion::instance();
    QVERIFY(second);
    QVERIFY(child<QLabel>("Label2")->text().startsWith(domain() + QStringLiteral(" is a FREE")));
}

void TestPromotion::focus_placeholderRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("afterFocusIn");
    QTest::addColumn<QString>("afterFocusOut");

    const QString placeholders[] = {"Your Name", "Your Email Address", "Your Message", "Friend's Name",
                                    "Friend's Email Address"};
    for (int i = 0; i < 5; ++i) {
        const QString field = QString::fromLatin1(kFields[i]);
        const QString p = placeholders[i];
        QTest::addRow("%s placeholder", kFields[i]) << field << p << QString() << p;
        QTest::addRow("%s placeholder in spaces", kFields[i]) << field << "  " + p + " " << QString() << p;
        QTest::addRow("%s empty", kFields[i]) << field << QString() << QString() << p;
        QTest::addRow("%s user text", kFields[i])
            << field << QStringLiteral(" text ") << QStringLiteral(" text ") << QStringLiteral(" text ");
    }
    const auto row = [](const char *tag, const char *field, const char *start, const char *in,
                        const char *out) {
        QTest::newRow(tag) << QString::fromLatin1(field) << QString::fromUtf8(start) << QString::fromUtf8(in)
                           << QString::fromUtf8(out);
    };
    row("other case is text", "txtName", "your name", "your name", "your name");
    row("only spaces", "txtEmail", "   ", "   ", "Your Email Address");
    row("tab is not trimmed", "txtFriendName", "\tFriend's Name", "\tFriend's Name", "\tFriend's Name");
    row("placeholder with line break kept", "txtMessage", "Your Message\n", "Your Message\n",
        "Your Message\n");
    row("no-break space is text", "txtMessage", "\u00a0", "\u00a0", "\u00a0");
    row("no-break spaces kept as typed", "txtMessage", " \u00a0Hi\u00a0 ", " \u00a0Hi\u00a0 ",
        " \u00a0Hi\u00a0 ");
}

void TestPromotion::focus_placeholderRules()
{
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(QString, afterFocusIn);
    QFETCH(QString, afterFocusOut);

    openScreen();
    QWidget *w = child(field.toLatin1().constData());
    setTextOf(w, start);
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
    QTRY_COMPARE(textOf(w), afterFocusIn);
    child("cmdClose")->setFocus();
    QTRY_VERIFY(!w->hasFocus());
    QCOMPARE(textOf(w), afterFocusOut);
}

void TestPromotion::focus_deactivationAndPopupsLeaveTextAlone_data()
{
    QTest::addColumn<Qt::FocusReason>("reason");
    QTest::newRow("popup menu") << Qt::PopupFocusReason;
    QTest::newRow("window deactivated") << Qt::ActiveWindowFocusReason;
}

void TestPromotion::focus_deactivationAndPopupsLeaveTextAlone()
{
    QFETCH(Qt::FocusReason, reason);
    openScreen();
    auto *name = child<QLineEdit>("txtName");
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    QTRY_COMPARE(name->text(), QString());

    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(name, &out);
    QCOMPARE(name->text(), QString()); // a paste from the context menu must not land after the placeholder
    QFocusEvent in(QEvent::FocusIn, reason);
    name->setText(QStringLiteral("Your Name"));
    QApplication::sendEvent(name, &in);
    QCOMPARE(name->text(), QStringLiteral("Your Name"));
}

void TestPromotion::messageField_unseenOpeningTextIsSubmitted()
{
    MessageRecorder boxes;
    UrlRecorder browser;
    openScreen();
    auto *message = child<QPlainTextEdit>("txtMessage");
    QCOMPARE(message->toPlainText(), QStringLiteral("Your Message\n"));

    child<QLineEdit>("txtName")->setText(QStringLiteral("Ann"));
    child<QLineEdit>("txtEmail")->setText(QStringLiteral("ann@mail.example"));
    child<QLineEdit>("txtFriendName")->setText(QStringLiteral("Bob"));
    child<QLineEdit>("txtFriendEmail")->setText(QStringLiteral("bob@mail.example"));
    QTest::mouseClick(child("cmdSubmit"), Qt::LeftButton);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(ReferralData.message, QStringLiteral("Your Message\r\n"));
    QCOMPARE(browser.urls.size(), 1);
    QCOMPARE(decodedValues(browser.addresses().first()).at(2), QStringLiteral("taf3=Your Message\r\n"));
}

void TestPromotion::keys_spaceRefusedInEmailFieldsOnly_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("commit"); // an input method's commit instead of the key
    const QStringList refused{QStringLiteral("Email Address Cannot Contain Space")};
    const QString key;
    QTest::newRow("space in txtEmail") << "txtEmail" << Qt::Key_Space << "a@b" << refused << key;
    QTest::newRow("space in txtFriendEmail") << "txtFriendEmail" << Qt::Key_Space << "a@b" << refused << key;
    QTest::newRow("letter in txtEmail") << "txtEmail" << Qt::Key_X << "a@bx" << QStringList() << key;
    QTest::newRow("backspace in txtFriendEmail")
        << "txtFriendEmail" << Qt::Key_Backspace << "a@" << QStringList() << key;
    QTest::newRow("space in txtName") << "txtName" << Qt::Key_Space << "a@b " << QStringList() << key;
    QTest::newRow("space in txtFriendName")
        << "txtFriendName" << Qt::Key_Space << "a@b " << QStringList() << key;
    QTest::newRow("committed space in txtEmail")
        << "txtEmail" << Qt::Key_unknown << "a@bx" << refused << QStringLiteral("x y z");
    QTest::newRow("committed space first in txtFriendEmail")
        << "txtFriendEmail" << Qt::Key_unknown << "a@b" << refused << QStringLiteral(" x");
    QTest::newRow("commit without space in txtFriendEmail")
        << "txtFriendEmail" << Qt::Key_unknown << "a@bxy" << QStringList() << QStringLiteral("xy");
    QTest::newRow("committed space in txtName")
        << "txtName" << Qt::Key_unknown << "a@bx y" << QStringList() << QStringLiteral("x y");
}

void TestPromotion::keys_spaceRefusedInEmailFieldsOnly()
{
    QFETCH(QString, field);
    QFETCH(Qt::Key, key);
    QFETCH(QString, after);
    QFETCH(QStringList, messages);
    QFETCH(QString, commit);

    MessageRecorder boxes;
    boxes.takesFocus = true;
    openScreen();
    auto *edit = child<QLineEdit>(field.toLatin1().constData());
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->setText(QStringLiteral("a@b"));
    if (commit.isEmpty()) {
        QTest::keyClick(edit, key);
    } else {
        QInputMethodEvent im;
        im.setCommitString(commit);
        QApplication::sendEvent(edit, &im);
    }
    QCOMPARE(edit->text(), after);
    QCOMPARE(boxes.texts(), messages);
    for (const MessageBoxes::Shown &box : std::as_const(boxes.shown))
        QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(QApplication::focusWidget(), edit);
}

void TestPromotion::drop_replacesPlaceholderNeverMixes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<QString>("after");
    QTest::newRow("onto the e-mail placeholder") << "txtEmail"
                                                 << "Your Email Address"
                                                 << "dropped@x.com"
                                                 << "dropped@x.com";
    QTest::newRow("onto the placeholder in spaces") << "txtFriendName"
                                                    << " Friend's Name "
                                                    << "Zoe"
                                                    << "Zoe";
    QTest::newRow("onto the bare message placeholder") << "txtMessage"
                                                       << "Your Message"
                                                       << "Hi"
                                                       << "Hi";
    QTest::newRow("onto the user's own text") << "txtName"
                                              << "Ann"
                                              << "Zoe"
                                              << "AnnZoe";
}

// Text dragged in from another program, dropped past the end of the field's text.
void TestPromotion::drop_replacesPlaceholderNeverMixes()
{
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(QString, dropped);
    QFETCH(QString, after);
    openScreen();
    QWidget *w = child(field.toLatin1().constData());
    setTextOf(w, start);
    QMimeData data;
    data.setText(dropped);
    auto *multi = qobject_cast<QPlainTextEdit *>(w);
    QWidget *target = multi ? multi->viewport() : w;
    const QPointF end(target->width() - 2, target->height() - 2);
    QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(textOf(w), after);
}

void TestPromotion::keys_pastedSpaceNotFiltered()
{
    MessageRecorder boxes;
    openScreen();
    auto *edit = child<QLineEdit>("txtFriendEmail");
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QApplication::clipboard()->setText(QStringLiteral("b ob@mail.example"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("b ob@mail.example"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestPromotion::check1_eachClickOpensHomeOnceAndSpringsBack_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"mouse", "space key", "screen reader's link"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

void TestPromotion::check1_eachClickOpensHomeOnceAndSpringsBack()
{
    QFETCH(QString, way);
    UrlRecorder browser;
    openScreen();
    auto *check = child<QAbstractButton>("Check1");
    QVERIFY(check->isCheckable());
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(check);
    QCOMPARE(iface->role(), QAccessible::Link);
    const QString home = QStringLiteral("http://") + Sites::mainHost();
    for (int click = 1; click <= 2; ++click) {
        if (way == QLatin1String("screen reader's link")) {
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else if (way == QLatin1String("space key")) {
            check->setFocus();
            QTest::keyClick(check, Qt::Key_Space);
        } else {
            QTest::mouseClick(check, Qt::LeftButton);
        }
        QCOMPARE(browser.addresses().size(), click);
        QCOMPARE(browser.addresses().last(), home);
        QVERIFY(!check->isChecked());
        QVERIFY(!check->isDown());
    }
}

void TestPromotion::goToHome_opensOtherProducts_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("screen reader press") << true;
}

void TestPromotion::goToHome_opensOtherProducts()
{
    QFETCH(bool, keyboard);
    UrlRecorder browser;
    openScreen();
    QWidget *link = child("lblGoToHome");
    const QStringList before = fieldTexts();
    if (keyboard) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(link);
        QVERIFY(iface && iface->actionInterface());
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    } else {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    QCOMPARE(browser.addresses(), QStringList{webPageAddress(WebPage::OtherProducts)});
    QCOMPARE(fieldTexts(), before);
    QVERIFY(frmPromotion::loaded()->isVisible());
}

void TestPromotion::submit_refusedPressCapturesAndChangesNothing_data()
{
    QTest::addColumn<QStringList>("entries"); // name, email, friend's name, friend's email
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("captured");
    QTest::addColumn<QString>("typedMessage"); // null leaves the opening text

    const QString proper = QStringLiteral("Please Enter Proper Email Address");
    const QString distinct = QStringLiteral("Please Enter Distinct Email Addresses");
    QTest::newRow("opening texts") << QStringList() << proper
                                   << QStringList{"Your Name", "Your Email Address", "Friend's Name",
                                                  "Friend's Email Address"}
                                   << QString();
    QTest::newRow("both e-mails empty")
        << QStringList{"Ann", "", "Bob", "   "} << distinct << QStringList{"Ann", "", "Bob", ""} << QString();
    QTest::newRow("same e-mails after trimming") << QStringList{"Ann", " a@b.c", "Bob", "a@b.c  "} << distinct
                                                 << QStringList{"Ann", "a@b.c", "Bob", "a@b.c"} << QString();
    QTest::newRow("own e-mail empty") << QStringList{"Ann", "", "Bob", "b@c.d"} << proper
                                      << QStringList{"Ann", "", "Bob", "b@c.d"} << QString();
    QTest::newRow("name placeholder in spaces")
        << QStringList{"  Your Name ", "a@b.c", "Bob", "b@c.d"} << QStringLiteral("Please Enter Your Name")
        << QStringList{"Your Name", "a@b.c", "Bob", "b@c.d"} << QString();
    QTest::newRow("friend's name placeholder")
        << QStringList{"Ann", "a@b.c", "Friend's Name", "b@c.d"}
        << QStringLiteral("Please Enter Your Friend's Name")
        << QStringList{"Ann", "a@b.c", "Friend's Name", "b@c.d"} << QString();
    QTest::newRow("message of spaces only")
        << QStringList{"Ann", "a@b.c", "Bob", "b@c.d"} << QStringLiteral("Please Enter Your Message")
        << QStringList{"Ann", "a@b.c", "Bob", "b@c.d"} << "   ";
}

void TestPromotion::submit_refusedPressCapturesAndChangesNothing()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    QFETCH(QStringList, captured);
    QFETCH(QString, typedMessage);

    MessageRecorder boxes;
    UrlRecorder browser;
    openScreen();
    const char *const lines[] = {"txtName", "txtEmail", "txtFriendName", "txtFriendEmail"};
    for (int i = 0; i < entries.size(); ++i)
        child<QLineEdit>(lines[i])->setText(entries.at(i));
    if (!typedMessage.isNull())
        child<QPlainTextEdit>("txtMessage")->setPlainText(typedMessage);
    ReferralData.url = QStringLiteral("http://earlier.example/");
    const QStringList before = fieldTexts();

    QTest::mouseClick(child("cmdSubmit"), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.shown.first().owner, frmPromotion::loaded());
    QVERIFY(browser.urls.isEmpty());
    QCOMPARE(fieldTexts(), before);
    QCOMPARE(QStringList(
                 {ReferralData.name, ReferralData.email, ReferralData.friendName, ReferralData.friendEmail}),
             captured);
    QCOMPARE(ReferralData.message, typedMessage.isNull() ? QStringLiteral("Your Message\r\n") : QString());
    QCOMPARE(ReferralData.url, QStringLiteral("http://earlier.example/"));
}

void TestPromotion::submit_passingPressOpensEncodedAddressAndKeepsFields()
{
    MessageRecorder boxes;
    UrlRecorder browser;
    openScreen();
    child<QLineEdit>("txtName")->setText(QStringLiteral(" Zoë & Jo=1 "));
    child<QLineEdit>("txtEmail")->setText(QStringLiteral("zoe+tag@mail.example"));
    child<QPlainTextEdit>("txtMessage")
        ->setPlainText(QStringLiteral("  Try #1?\n100% fun\u00a0 ")); // spaces go, the no-break space stays
    child<QLineEdit>("txtFriendName")->setText(QStringLiteral("Bob"));
    child<QLineEdit>("txtFriendEmail")->setText(QStringLiteral("bob@mail.example"));
    const QStringList before = fieldTexts();

    QTest::mouseClick(child("cmdSubmit"), Qt::LeftButton);
    QTest::mouseClick(child("cmdSubmit"), Qt::LeftButton);

    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(browser.urls.size(), 2);
    QCOMPARE(fieldTexts(), before);
    QVERIFY(frmPromotion::loaded()->isVisible());
    const QString page =
        QStringLiteral("http://") + Sites::mainHost() + QStringLiteral("/zenorms-refer-a-friend.php?");
    QVERIFY(browser.addresses().first().startsWith(page));
    QCOMPARE(decodedValues(browser.addresses().first()),
             QStringList({"taf1=Zoë & Jo=1", "taf2=zoe+tag@mail.example", "taf3=Try #1?\r\n100% fun\u00a0",
                          "taf4=Bob", "taf5=bob@mail.example",
                          "taf6=http://" + Sites::mainHost() + "/zenor-free-lyrandel/"}));
    QCOMPARE(decodedValues(ReferralData.url), decodedValues(browser.addresses().first()));
}

void TestPromotion::close_everyWayEndsProgramOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Exit button") << "click";
    QTest::newRow("Exit access key") << "alt+x";
    QTest::newRow("Enter right after opening") << "enter";
    QTest::newRow("Space right after opening") << "space";
    QTest::newRow("close box") << "window";
    QTest::newRow("close()") << "close";
}

void TestPromotion::close_everyWayEndsProgramOnce()
{
    QFETCH(QString, how);
    const QString settings =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QCoreApplication::applicationName())
            .fileName();
    QFile::remove(settings);
    EndRecorder ends;
    frmPromotion *screen = openScreen();
    QWidget *exit = child("cmdClose");
    if (how == QLatin1String("click"))
        QTest::mouseClick(exit, Qt::LeftButton);
    else if (how == QLatin1String("alt+x"))
        QTest::keyClick(screen, Qt::Key_X, Qt::AltModifier);
    else if (how == QLatin1String("enter"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    else if (how == QLatin1String("space"))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    else if (how == QLatin1String("window"))
        screen->windowHandle()->close();
    else
        screen->close();

    QTRY_VERIFY(!frmPromotion::loaded());
    QCOMPARE(ends.ends, 1);
    QVERIFY(!QFile::exists(settings)); // leaving writes nothing
}

QTEST_MAIN(TestPromotion)
#include "tst_promotion.moc"
