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
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// The text a person reads: a single '&' marks the access key and is not drawn.
QString displayed(const QString &text, bool hasAccessKey)
{
    if (!hasAccessKey)
        return text;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size())
            ++i;
        shown += text.at(i);
    }
    return shown;
}

// Where the text of a control goes, and whether it wraps there; an empty rect for a control without text.
QRect textBox(const QWidget *w, QString *text, bool *wraps)
{
    *wraps = false;
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        *text = displayed(label->text(), label->buddy() != nullptr);
        *wraps = label->wordWrap();
        const int m = label->margin();
        return label->contentsRect().adjusted(m, m, -m, -m);
    }
    if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        *text = displayed(button->text(), true);
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (const auto *box = qobject_cast<const QGroupBox *>(w)) {
        *text = box->title();
        return box->rect();
    }
    return QRect();
}

// The controls a person can see: shown, and not covered by the other wizard page or cut off by the
// window's edge.
QList<QWidget *> seenControls(QWidget *window)
{
    QList<QWidget *> seen;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->isVisible() && !w->visibleRegion().isEmpty())
            seen.append(w);
    }
    return seen;
}

QString describe(const QWidget *w, const QString &text)
{
    return w->objectName() + QStringLiteral(" (\"") + text.left(40) + QStringLiteral("\")");
}

// Each text's fault, if it is cut off; no faults means every text is whole.
QStringList cutTexts(QWidget *window)
{
    QStringList faults;
    for (QWidget *w : seenControls(window)) {
        QString text;
        bool wraps = false;
        const QRect box = textBox(w, &text, &wraps);
        if (text.isEmpty())
            continue;
        const QFontMetrics metrics = w->fontMetrics();
        const auto *label = qobject_cast<const QLabel *>(w);
        if (wraps && label) {
            const int needed = label->heightForWidth(label->width());
            if (needed > label->height())
                faults << describe(w, text) +
                              QStringLiteral(": %1 px high, needs %2").arg(label->height()).arg(needed);
        } else if (metrics.horizontalAdvance(text) > box.width() || metrics.height() > box.height()) {
            faults << describe(w, text) + QStringLiteral(": box %1 x %2, text %3 x %4")
                                              .arg(box.width())
                                              .arg(box.height())
                                              .arg(metrics.horizontalAdvance(text))
                                              .arg(metrics.height());
        }
    }
    return faults;
}

// WCAG 2 relative luminance and contrast ratio.
double luminance(const QColor &colour)
{
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A button draws its text on its own face and a text field on its own base, both from its palette.
bool drawsOwnBackground(const QWidget *w, QColor *text, QColor *behind)
{
    QPalette::ColorRole textRole = QPalette::ButtonText, behindRole = QPalette::Button;
    if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)) {
        textRole = QPalette::Text;
        behindRole = QPalette::Base;
    } else if (!qobject_cast<const QAbstractButton *>(w)) {
        return false;
    }
    *text = w->palette().color(textRole);
    *behind = w->palette().color(behindRole);
    return true;
}

// Behind any other text is what covers most of its control's box as the window is drawn: a parent's
// fill, a style sheet's background or the window's. Text covers far less of a box than its background.
QColor colourBehind(const QImage &drawn, const QWidget *window, const QWidget *w)
{
    const QRect box = QRect(w->mapTo(window, QPoint()), w->size()).intersected(drawn.rect());
    QHash<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x)
            ++counts[drawn.pixel(x, y)];
    }
    QRgb most = 0;
    int mostCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > mostCount) {
            most = it.key();
            mostCount = it.value();
        }
    }
    return QColor::fromRgb(most);
}

QStringList unreadableTexts(QWidget *window)
{
    QImage drawn = window->grab().toImage();
    drawn.setDevicePixelRatio(1.0);
    drawn = drawn.scaled(window->size()); // one pixel per device-independent pixel, whatever the screen
    QStringList faults;
    for (QWidget *w : seenControls(window)) {
        QString text;
        bool wraps = false;
        textBox(w, &text, &wraps);
        const bool field = qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w);
        if (field) {
            // Empty or not, a person types there; and the field must stand out from its panel
            // (WCAG's 3 to 1 for the parts of a control).
            text = QStringLiteral("<field>");
            const QColor base = w->palette().color(QPalette::Base);
            const QColor panel = colourBehind(drawn, window, w->parentWidget());
            if (contrast(base, panel) < 3.0)
                faults << describe(w, text) + QStringLiteral(": base %1 on a %2 panel, contrast %3")
                                                  .arg(base.name(), panel.name())
                                                  .arg(contrast(base, panel), 0, 'f', 2);
        }
        if (text.isEmpty())
            continue;
        QColor colour, behind;
        if (!drawsOwnBackground(w, &colour, &behind)) {
            colour = w->palette().color(w->foregroundRole());
            behind = colourBehind(drawn, window, w);
        }
        const QFont font = w->font();
        const bool large = font.pointSizeF() >= 18 || (font.pointSizeF() >= 14 && font.bold());
        const double ratio = contrast(colour, behind);
        if (ratio < (large ? 3.0 : 4.5))
            faults << describe(w, text) + QStringLiteral(": %1 on %2, contrast %3")
                                              .arg(colour.name(), behind.name())
                                              .arg(ratio, 0, 'f', 2);
    }
    return faults;
}

QPalette darkPalette()
{
    // A dark desktop palette, as Adwaita dark or a dark KDE scheme gives it.
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), base(0x2a, 0x2a, 0x2a), light(0xee, 0xee, 0xee);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, light);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, light);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, light);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, window);
    dark.setColor(QPalette::ToolTipText, light);
    dark.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
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
    QTest::newRow("DejaVu before the rest")
        << verdana << QStringList{"Noto Sans", "Liberation Sans", "DejaVu Sans", "Liberation Mono"}
        << "DejaVu Sans";
    QTest::newRow("other designed family")
        << sansSerif << QStringList{"Noto Sans", "Verdana", "MS Sans Serif"} << sansSerif;
    QTest::newRow("Verdana stands in") << sansSerif << QStringList{"DejaVu Sans", "Verdana"} << verdana;
    QTest::newRow("Noto before Liberation")
        << verdana << QStringList{"Liberation Mono", "Liberation Sans", "Noto Sans", "Noto Sans Mono"}
        << "Noto Sans";
    QTest::newRow("a family's name with a foundry") << verdana << QStringList{"Arial [Monotype]"} << "Arial";
    QTest::newRow("a longer name is another family")
        << verdana << QStringList{"DejaVu Sans Mono", "Noto Sans Mono", "Arial"} << "Arial";
    QTest::newRow("case of the names") << verdana << QStringList{"dejavu sans"} << "DejaVu Sans";
    QTest::newRow("none of the list") << verdana << QStringList{"Liberation Mono", "Serif"} << QString();
}

void TestLooks::pickFamily_firstInstalledOfTheList()
{
    QFETCH(QString, designed);
    QFETCH(QStringList, installed);
    QFETCH(QString, picked);
    QCOMPARE(pickFamily(designed, installed), picked);
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

    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 10.5); // the first size, half a point at a time, that fits
    QCOMPARE(label->font().family(), installedFamily(QStringLiteral("Verdana")));

    label->setText(QStringLiteral("Visit"));
    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 12.0); // its own size again

    label->setText(label->text().repeated(20));
    fitTexts(&form);
    QCOMPARE(label->font().pointSizeF(), 9.0); // never below three quarters, whole or not

    // A wrapped text steps down until its lines fit the height.
    label->setWordWrap(true);
    label->setText(QStringLiteral("Visit Karvelle regularly and take part in the discussions."));
    label->setFont(designFont(QStringLiteral("Verdana"), 12));
    label->resize(label->width(), label->heightForWidth(label->width()) - 1);
    fitTexts(&form);
    QVERIFY(label->font().pointSizeF() < 12.0);
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
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
