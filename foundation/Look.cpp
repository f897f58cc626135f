#include "foundation/Look.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <QWindow>

namespace {

// After the designed family: Verdana, what the windows were drawn for; DejaVu Sans and Bitstream Vera,
// drawn on Verdana's wide, open proportions; Tahoma, Verdana's narrower sibling; then the proportional
// faces most desktops carry.
const char *const kFallbacks[] = {"Verdana", "DejaVu Sans", "Bitstream Vera Sans",
                                  "Tahoma",  "Noto Sans",   "Liberation Sans",
                                  "Arial",   "Helvetica"};

bool isInstalled(const QString &family, const QStringList &installed)
{
    for (const QString &name : installed) {
        // Where two foundries make a family of one name, Qt lists it as "Family [Foundry]".
        if (name.startsWith(family, Qt::CaseInsensitive) &&
            (name.size() == family.size() || name.mid(family.size()).startsWith(QLatin1String(" ["))))
            return true;
    }
    return false;
}

} // namespace

QString pickFamily(const QString &designed, const QStringList &installed,
                   const std::function<bool(const QString &)> &proportional)
{
    if (isInstalled(designed, installed))
        return designed;
    for (const char *fallback : kFallbacks) {
        const QString family = QString::fromLatin1(fallback);
        if (isInstalled(family, installed))
            return family;
    }
    // Left to fontconfig, a name it lacks may match a monospaced face by its name ("DejaVu Sans Mono" for
    // "DejaVu Sans"), whatever the style hint says.
    QString firstProportional;
    for (const QString &family : installed) {
        if (!proportional(family))
            continue;
        if (family.split(u' ').contains(QLatin1String("Sans")))
            return family;
        if (firstProportional.isEmpty())
            firstProportional = family;
    }
    return firstProportional;
}

QString installedFamily(const QString &designed)
{
    static const QStringList installed = QFontDatabase::families();
    static QHash<QString, QString> picked; // the windows are made on the GUI thread only
    // Asked only where none of the list is installed: it loads each family it is asked about.
    const auto proportional = [](const QString &family) {
        return !QFontDatabase::isFixedPitch(family) &&
               QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin);
    };
    auto it = picked.constFind(designed);
    if (it == picked.constEnd())
        it = picked.insert(designed, pickFamily(designed, installed, proportional));
    return *it;
}

QFont designFont(const QString &designed, qreal points, bool bold, bool underline)
{
    const QString family = installedFamily(designed);
    QFont font(family.isEmpty() ? designed : family);
    // Where no proportional family is installed, fontconfig picks; the hint is all that is left to say.
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void applyLooks(QWidget *form, std::initializer_list<Look> looks)
{
    for (const Look &look : looks) {
        QWidget *w = form->objectName() == QLatin1String(look.objectName)
                         ? form
                         : form->findChild<QWidget *>(QLatin1String(look.objectName));
        if (!w)
            continue;
        if (look.family)
            w->setFont(designFont(QString::fromLatin1(look.family), look.points, look.bold, look.underline));
        if (!look.text.isValid() && !look.background.isValid())
            continue;
        // A button draws its text on its face, a text field on its base, anything else on its window colour.
        QPalette::ColorRole textRole = QPalette::WindowText;
        QPalette::ColorRole behind = QPalette::Window;
        if (qobject_cast<QAbstractButton *>(w)) {
            textRole = QPalette::ButtonText;
            behind = QPalette::Button;
        } else if (qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractScrollArea *>(w)) {
            textRole = QPalette::Text;
            behind = QPalette::Base;
        }
        QPalette palette = w->palette();
        if (look.text.isValid())
            palette.setColor(textRole, look.text);
        if (look.background.isValid()) {
            palette.setColor(behind, look.background);
            if (behind == QPalette::Window)
                w->setAutoFillBackground(true);
        }
        w->setPalette(palette);
    }
}

namespace {

const char *const kOwnPoints = "zlOwnPoints";

// A text as drawn: "&&" shows as '&', a lone '&' marks the access key and is not drawn.
QString drawnText(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&')
            text.remove(i, 1);
    }
    return text;
}

bool oneLineFits(const QString &text, const QFont &font, const QRect &box)
{
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(text) <= box.width() && metrics.height() <= box.height();
}

bool wholeIn(const QWidget &control)
{
    if (const auto *button = qobject_cast<const QPushButton *>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect box = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return oneLineFits(drawnText(button->text()), button->font(), box);
    }
    const auto &label = static_cast<const QLabel &>(control);
    if (label.wordWrap())
        return label.heightForWidth(label.width()) <= label.height();
    const int m = label.margin();
    return oneLineFits(label.buddy() ? drawnText(label.text()) : label.text(), label.font(),
                       label.contentsRect().adjusted(m, m, -m, -m));
}

} // namespace

void fitTexts(QWidget *form)
{
    for (QWidget *control : form->findChildren<QWidget *>())
        fitText(*control);
}

void fitText(QWidget &control)
{
    const auto *label = qobject_cast<const QLabel *>(&control);
    const auto *button = qobject_cast<const QPushButton *>(&control);
    if (label ? label->text().isEmpty() : !button || button->text().isEmpty())
        return;
    QFont font = control.font();
    const QVariant own = control.property(kOwnPoints);
    if (own.isValid() && font.pointSizeF() != own.toReal()) {
        font.setPointSizeF(own.toReal());
        control.setFont(font);
    }
    if (wholeIn(control))
        return;
    const qreal points = font.pointSizeF();
    control.setProperty(kOwnPoints, points);
    for (qreal size = points - 0.5; size >= points * 0.75; size -= 0.5) {
        font.setPointSizeF(size);
        control.setFont(font);
        if (wholeIn(control))
            break;
    }
}

namespace {

// The frame the window manager gave the last window, the best guess for the next one.
QMargins g_lastFrame;

void placeInCentre(QWidget &window, const QMargins &frame)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize outer = QRect(QPoint(), window.size()).marginsAdded(frame).size();
    const QPoint topLeft = framePosition(outer, screen->availableGeometry());
    // setGeometry places the client area whether or not the window exists yet; move() would place
    // the frame before the first show and the client area after it.
    window.setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window.size()));
}

bool isFramed(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    return window.isVisible() && handle && handle->isExposed();
}

// Puts the window right once it is on screen, when the window manager's frame is known.
class CentreWhenFramed final : public QObject
{
public:
    explicit CentreWhenFramed(QWidget &window) : QObject(&window), m_window(window)
    {
        setObjectName(name());
        window.installEventFilter(this);
        watchHandle();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            watchHandle();
        } else if (watched == m_handle && event->type() == QEvent::Expose && m_handle->isExposed()) {
            g_lastFrame = m_handle->frameMargins();
            placeInCentre(m_window, g_lastFrame);
            m_handle->removeEventFilter(this);
            m_window.removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
        }
        return false;
    }

    static QString name() { return QStringLiteral("centreWhenFramed"); }

private:
    void watchHandle()
    {
        if (m_handle || !m_window.windowHandle())
            return;
        m_handle = m_window.windowHandle();
        m_handle->installEventFilter(this);
    }

    QWidget &m_window;
    QPointer<QWindow> m_handle;
};

} // namespace

void fitOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // One more pixel each side: a frame of one device pixel at twice the density is half a pixel
    // here, which whole pixels round up on one side and down on the other.
    const QMargins frame = g_lastFrame + QMargins(1, 1, 1, 1);
    const QSize outer = QRect(QPoint(), window.size()).marginsAdded(frame).size();
    const QSize room = screen->availableGeometry().size();
    const qreal byHand = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                             ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() / screen->devicePixelRatio()
                             : 0;
    const qreal factor =
        qMax(byHand, qMin(qreal(room.width()) / outer.width(), qreal(room.height()) / outer.height()));
    if (factor >= 1)
        return;
    const auto scaled = [factor](int length) { return int(length * factor); };
    // Children before their parents, so that a font a child inherits is not scaled twice.
    const QList<QWidget *> controls = window.findChildren<QWidget *>();
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        QWidget *control = *it;
        // Qt's own parts of a control (a scroll area's viewport, say) follow the control.
        if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QRect box = control->geometry();
        control->setGeometry(scaled(box.x()), scaled(box.y()), scaled(box.width()), scaled(box.height()));
        if (control->testAttribute(Qt::WA_SetFont) && control->font().pointSizeF() > 0) {
            QFont font = control->font();
            font.setPointSizeF(font.pointSizeF() * factor);
            control->setFont(font);
        }
    }
    if (QFont font = window.font(); font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * factor);
        window.setFont(font);
    }
    window.setFixedSize(scaled(window.width()), scaled(window.height()));
}

bool programPlacesWindows()
{
    return programPlacesWindows(QGuiApplication::platformName());
}

bool programPlacesWindows(const QString &platformName)
{
    return !platformName.startsWith(QLatin1String("wayland"));
}

QPoint framePosition(const QSize &frame, const QRect &available)
{
    const auto along = [](int start, int room, int length) {
        return length <= room ? start + (room - length) / 2 : start;
    };
    return {along(available.x(), available.width(), frame.width()),
            along(available.y(), available.height(), frame.height())};
}

void centreOnScreen(QWidget &window)
{
    if (!programPlacesWindows())
        return;
    if (isFramed(window)) {
        g_lastFrame = window.windowHandle()->frameMargins();
        placeInCentre(window, g_lastFrame);
        return;
    }
    placeInCentre(window, g_lastFrame);
    if (!window.findChild<QObject *>(CentreWhenFramed::name(), Qt::FindDirectChildrenOnly))
        new CentreWhenFramed(window);
}
