// Every window as a person sees it, in whatever fonts are installed and under a light and a dark
// desktop palette: each text is whole in its box and readable on what is behind it.
#include "foundation/Look.h"
#include "foundation/RandomGenerator.h"
#include "promotion/frmPromotion.h"
#include "reading/frmMain.h"
#include "tests/support/TestSupport.h"
#include "ui_frmMain.h"
#include "web/frmAbout.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

bool isField(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w);
}

// A text as a person sees it: its control, the text drawn ('&' access marks are not) and its box.
struct Shown
{
    QWidget *w;
    QString text;
    QRect box;
    bool wraps;
};

// Every text in the window a person can see: shown, neither under the other wizard page nor below
// the window's edge. A text field counts, empty or not: a person types there.
QList<Shown> shownTexts(QWidget *window)
{
    const auto unmarked = [](QString text) { return text.replace(QRegularExpression("&(.)"), "\\1"); };
    QList<Shown> texts;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->visibleRegion().isEmpty())
            continue;
        Shown shown{w, QString(), w->contentsRect(), false};
        if (const auto *label = qobject_cast<const QLabel *>(w)) {
            shown.text = label->buddy() ? unmarked(label->text()) : label->text();
            shown.wraps = label->wordWrap();
            const int m = label->margin();
            shown.box.adjust(m, m, -m, -m);
        } else if (const auto *button = qobject_cast<const QPushButton *>(w)) {
            shown.text = unmarked(button->text());
            QStyleOptionButton option;
            option.initFrom(button);
            shown.box = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        } else if (const auto *box = qobject_cast<const QGroupBox *>(w)) {
            shown.text = box->title();
        } else if (isField(w)) {
            shown.text = QStringLiteral("(field)");
        }
        if (!shown.text.isEmpty())
            texts.append(shown);
    }
    return texts;
}

QString fault(const Shown &shown, const QString &what)
{
    return shown.w->objectName() + QStringLiteral(" \"") + shown.text.left(30) + QStringLiteral("\": ") +
           what;
}

// One line must fit its box's width and height, wrapped text the height its width needs.
QStringList cutTexts(QWidget *window)
{
    QStringList faults;
    for (const Shown &shown : shownTexts(window)) {
        const QFontMetrics metrics = shown.w->fontMetrics();
        const QSize needed = shown.wraps ? QSize(shown.w->width(), shown.w->heightForWidth(shown.w->width()))
                                         : QSize(metrics.horizontalAdvance(shown.text), metrics.height());
        const QSize room = shown.wraps ? shown.w->size() : shown.box.size();
        if (!isField(shown.w) && (needed.width() > room.width() || needed.height() > room.height()))
            faults << fault(shown, QStringLiteral("needs %1 x %2 in %3 x %4")
                                       .arg(needed.width())
                                       .arg(needed.height())
                                       .arg(room.width())
                                       .arg(room.height()));
    }
    return faults;
}

// WCAG 2 contrast ratio of two colours' relative luminances.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a.toRgb()), lb = luminance(b.toRgb());
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What covers most of a control's box as the window is drawn: a parent's fill, a style sheet's
// background or the window's. A text covers far less of its box than what is behind it.
QColor colourBehind(const QImage &drawn, const QWidget *window, const QWidget *w)
{
    const QRect box = QRect(w->mapTo(window, QPoint()), w->size()).intersected(drawn.rect());
    QHash<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x)
            ++counts[drawn.pixel(x, y)];
    }
    auto most = counts.cbegin();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        most = it.value() > most.value() ? it : most;
    return QColor::fromRgb(most.key());
}

// A button draws its text on its own face, a text field on its own base; any other text is drawn on
// what is behind it. A field must also stand out from its panel (3 to 1, as for a control's parts).
QStringList unreadableTexts(QWidget *window)
{
    QImage drawn = window->grab().toImage();
    drawn.setDevicePixelRatio(1.0);
    drawn = drawn.scaled(window->size()); // one pixel per device-independent pixel
    QStringList faults;
    for (const Shown &shown : shownTexts(window)) {
        const QPalette &palette = shown.w->palette();
        QColor text = palette.color(shown.w->foregroundRole());
        QColor behind = colourBehind(drawn, window, shown.w);
        if (qobject_cast<const QAbstractButton *>(shown.w)) {
            text = palette.color(QPalette::ButtonText);
            behind = palette.color(QPalette::Button);
        } else if (isField(shown.w)) {
            text = palette.color(QPalette::Text);
            behind = palette.color(QPalette::Base);
            const QColor panel = colourBehind(drawn, window, shown.w->parentWidget());
            if (contrast(behind, panel) < 3.0)
                faults << fault(shown, QStringLiteral("%1 on a %2 panel").arg(behind.name(), panel.name()));
        }
        const QFont font = shown.w->font();
        const bool large = font.pointSizeF() >= 18 || (font.pointSizeF() >= 14 && font.bold());
        if (contrast(text, behind) < (large ? 3.0 : 4.5))
            faults << fault(shown, QStringLiteral("%1 on %2, contrast %3")
                                       .arg(text.name(), behind.name())
                                       .arg(contrast(text, behind), 0, 'f', 2));
    }
    return faults;
}

// A dark desktop palette, as Adwaita dark or a dark KDE scheme gives it.
QPalette darkPalette()
{
    const QColor window(0x35, 0x35, 0x35), light(0xee, 0xee, 0xee);
    QPalette dark(window);
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(role, light);
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    return dark;
}

// One window in one of the states a person sees it in, shown.
using Scene = std::function<QWidget *()>;

struct SceneRow
{
    QString name;
    Scene open;
};

QList<SceneRow> scenes()
{
    QList<SceneRow> rows;
    // The input page and, for every sign, the result page; each time under either banner.
    rows.append({QStringLiteral("main, input page"), [] {
                     auto *window = new frmMain;
                     window->show();
                     return window;
                 }});
    for (int index = 0; index < 24; ++index) {
        rows.append({QStringLiteral("main, reading %1").arg(index + 1), [index] {
                         auto *window = new frmMain;
                         window->show();
                         if (index % 2)
                             window->bringCobrandToFront();
                         window->ui()->txtName->setText(QStringLiteral("Ada"));
                         Random::queueForTest({static_cast<float>(index) / 23.0f});
                         window->ui()->cmdNext->click();
                         return window;
                     }});
    }
    rows.append({QStringLiteral("about"), [] {
                     auto *box = new frmAbout;
                     box->show();
                     return box;
                 }});
    // Each of the four appeals the farewell screen may show.
    for (int appeal = 0; appeal < 4; ++appeal) {
        rows.append({QStringLiteral("farewell, appeal %1").arg(appeal + 1), [appeal] {
                         Random::queueForTest({appeal / 4.0f});
                         frmPromotion *screen = frmPromotion::instance();
                         screen->show();
                         return screen;
                     }});
    }
    return rows;
}

} // namespace

class TestLooks final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void pickFamily_firstInstalledOfTheList_data();
    void pickFamily_firstInstalledOfTheList();
    void designFont_isAnInstalledProportionalFamily();
    void fitTexts_stepsDownUntilWholeAndBackForShorterText();
    void everyTextFitsItsBox_data();
    void everyTextFitsItsBox();
    void everyTextIsReadable_data();
    void everyTextIsReadable();

private:
    void addScenes(bool withPalettes);
    QPointer<QWidget> m_window;
    QPalette m_desktopPalette;
    std::unique_ptr<MessageRecorder> m_boxes;
};

void TestLooks::initTestCase()
{
    isolateUserFolders();
    m_desktopPalette = QApplication::palette();
    m_boxes = std::make_unique<MessageRecorder>();
}

void TestLooks::cleanup()
{
    delete m_window;
    delete frmPromotion::loaded();
    Random::clearQueueForTest();
    QApplication::setPalette(m_desktopPalette);
}

void TestLooks::pickFamily_firstInstalledOfTheList_data()
{
    QTest::addColumn<QString>("designed");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("picked");
    const QString verdana = QStringLiteral("Verdana"), sansSerif = QStringLiteral("MS Sans Serif");
    QTest::newRow("designed family installed") << verdana << QStringList{"DejaVu Sans", "Verdana"} << verdana;
    QTest::newRow("MS Sans Serif itself") << sansSerif << QStringList{verdana, sansSerif} << sansSerif;
    QTest::newRow("DejaVu before the rest")
        << verdana << QStringList{"Noto Sans", "Liberation Sans", "DejaVu Sans", "Liberation Mono"}
        << "DejaVu Sans";
    QTest::newRow("Verdana stands in") << sansSerif << QStringList{"DejaVu Sans", "Verdana"} << verdana;
    QTest::newRow("a longer name is another family")
        << verdana << QStringList{"DejaVu Sans Mono", "Noto Sans Mono", "Arial"} << "Arial";
    QTest::newRow("none of the list") << verdana << QStringList{"Liberation Mono", "Serif"} << "Serif";
    QTest::newRow("sans first") << verdana << QStringList{"Noto Sans Mono", "Serif", "PT Sans"} << "PT Sans";
    QTest::newRow("nothing proportional") << verdana << QStringList{"Liberation Mono"} << QString();
}

void TestLooks::pickFamily_firstInstalledOfTheList()
{
    QFETCH(QString, designed);
    QFETCH(QStringList, installed);
    QFETCH(QString, picked);
    const auto proportional = [](const QString &family) { return !family.contains(QLatin1String("Mono")); };
    QCOMPARE(pickFamily(designed, installed, proportional), picked);
}

void TestLooks::designFont_isAnInstalledProportionalFamily()
{
    for (const char *designedName : {"Verdana", "MS Sans Serif"}) {
        const QString designed = QString::fromLatin1(designedName);
        const QFont font = designFont(designed, 8.25, true);
        // Asked for by a name Qt finds, so neither Qt nor fontconfig picks another.
        QVERIFY2(QFontDatabase::families().contains(font.family()), qPrintable(font.family()));
        QCOMPARE(QFontInfo(font).family(), font.family());
        QVERIFY(!QFontInfo(font).fixedPitch());
        QCOMPARE(font.styleHint(), QFont::SansSerif);
        // The font set this run was given is the one in use.
        if (designed == QLatin1String("Verdana") && qEnvironmentVariableIsSet("ZL_EXPECTED_FAMILY"))
            QCOMPARE(font.family(), qEnvironmentVariable("ZL_EXPECTED_FAMILY"));
        QCOMPARE(font.pointSizeF(), 8.25);
        QVERIFY(font.bold());
    }
}

void TestLooks::fitTexts_stepsDownUntilWholeAndBackForShorterText()
{
    QWidget form;
    auto *label = new QLabel(QStringLiteral("Click Here To Visit Karvelle Softwares"), &form);
    label->setFont(designFont(QStringLiteral("Verdana"), 12));
    const auto advanceAt = [label](qreal points) {
        QFont font = label->font();
        font.setPointSizeF(points);
        return QFontMetrics(font).horizontalAdvance(label->text());
    };
    label->setGeometry(0, 0, advanceAt(10.5), 40);
    QVERIFY(advanceAt(11) > label->width());
    auto *button = new QPushButton(label->text(), &form);
    button->setFont(label->font());
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect inside = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    button->setGeometry(0, 40, label->width() + button->width() - inside.width(), 40); // as much room inside

    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 10.5); // the first size, half a point at a time, that fits
    QCOMPARE(button->font().pointSizeF(), 10.5);
    QCOMPARE(label->font().family(), installedFamily(QStringLiteral("Verdana")));

    label->setText(QStringLiteral("Visit"));
    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 12.0); // its own size again

    label->setText(label->text().repeated(20));
    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 9.0); // never below three quarters, whole or not
}

void TestLooks::addScenes(bool withPalettes)
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<bool>("dark");
    const QList<SceneRow> rows = scenes();
    for (const bool dark : {false, true}) {
        if (dark && !withPalettes)
            break;
        for (int i = 0; i < rows.size(); ++i) {
            const QString name =
                withPalettes ? rows.at(i).name + (dark ? ", dark" : ", light") : rows.at(i).name;
            QTest::newRow(qPrintable(name)) << i << dark;
        }
    }
}

void TestLooks::everyTextFitsItsBox_data()
{
    addScenes(false);
}

void TestLooks::everyTextFitsItsBox()
{
    QFETCH(int, scene);
    m_window = scenes().at(scene).open();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QStringList faults = cutTexts(m_window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

void TestLooks::everyTextIsReadable_data()
{
    addScenes(true);
}

void TestLooks::everyTextIsReadable()
{
    QFETCH(int, scene);
    QFETCH(bool, dark);
    // The desktop's palette is in place before any window is made, as at start-up.
    QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
    m_window = scenes().at(scene).open();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QStringList faults = unreadableTexts(m_window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
