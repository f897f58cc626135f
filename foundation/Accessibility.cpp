#include "foundation/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QVariant>

#include <vector>

namespace {

const char *const kUnseen = "zlUnseen";
const char *const kSeenFocusPolicy = "zlSeenFocusPolicy";
const char *const kAnnouncement = "zlAnnouncement";
const char *const kReaderTab = "zlReaderTab";

QList<QWidget *> seenChildren(const QWidget *parent)
{
    QList<QWidget *> children;
    for (QObject *object : parent->children()) {
        auto *child = qobject_cast<QWidget *>(object);
        if (child && !child->isWindow() && !qobject_cast<QMenu *>(child) && !Accessibility::isUnseen(child))
            children.append(child);
    }
    return children;
}

// The role and name Qt gives these containers, without the children nobody can see.
class ContainerOfSeen final : public QAccessibleWidget
{
public:
    explicit ContainerOfSeen(QWidget *w) : QAccessibleWidget(w, roleOf(w)) {}

    int childCount() const override { return int(seenChildren(widget()).size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = seenChildren(widget());
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(seenChildren(widget()).indexOf(static_cast<QWidget *>(child->object())));
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        const auto *box = qobject_cast<const QGroupBox *>(widget());
        if (own.isEmpty() && box && t == QAccessible::Name)
            return Accessibility::withoutAccessKeys(box->title());
        return own;
    }

    // A titled group labels what it holds, so its title is read on entering it.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        const auto *box = qobject_cast<const QGroupBox *>(widget());
        if (!(match & QAccessible::Labelled) || !box || box->title().isEmpty())
            return found;
        for (QWidget *child : seenChildren(widget())) {
            if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(child))
                found.append({iface, QAccessible::Labelled});
        }
        return found;
    }

private:
    static QAccessible::Role roleOf(const QWidget *w)
    {
        if (qobject_cast<const QGroupBox *>(w))
            return QAccessible::Grouping;
        if (w->metaObject()->className() == QByteArrayLiteral("QFrame"))
            return QAccessible::Border;
        return QAccessible::Client;
    }
};

// Never shown: it is there to be read, and its showing is what screen readers announce.
class Notification final : public QAccessibleWidget
{
public:
    explicit Notification(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return widget()->property(kAnnouncement).toString();
        return QAccessibleWidget::text(t);
    }
};

// Qt's own containers, answered from their creation (so that no interface made before a control was
// marked unseen is left to answer), and the notification.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    // Asked class by class, most derived first: answered for the object's own class only.
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *w = static_cast<QWidget *>(object);
    if (w->property(kAnnouncement).isValid())
        return new Notification(w);
    const auto *box = qobject_cast<const QGroupBox *>(w);
    const bool plain = className == QLatin1String("QWidget") || className == QLatin1String("QFrame");
    if (plain || (box && className == QLatin1String("QGroupBox") && !box->isCheckable()))
        return new ContainerOfSeen(w);
    return nullptr;
}

QWidget *notificationOf(const QWidget *near)
{
    return near && near->window() ? near->window()->findChild<QWidget *>(QLatin1String(kAnnouncement))
                                  : nullptr;
}

void applyReaderTab(QWidget *control, bool listening)
{
    const Qt::FocusPolicy policy = listening ? Qt::TabFocus : Qt::NoFocus;
    if (!Accessibility::isUnseen(control))
        control->setFocusPolicy(policy);
    else if (listening) // what it gets back once seen
        control->setProperty(kSeenFocusPolicy, int(policy));
    else
        control->setProperty(kSeenFocusPolicy, QVariant());
}

class ReaderTabObserver final : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        for (QWidget *w : QApplication::allWidgets()) {
            if (w->property(kReaderTab).toBool())
                applyReaderTab(w, active);
        }
    }
};

} // namespace

namespace Accessibility {

QString withoutAccessKeys(const QString &caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i; // "&&" is a literal ampersand, "&x" marks x
        text.append(caption.at(i));
    }
    return text;
}

void answerForContainers()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed)
}

void setUnseen(QWidget *control, bool unseen)
{
    answerForContainers();
    if (isUnseen(control) == unseen)
        return;
    control->setProperty(kUnseen, unseen);
    QList<QWidget *> family = control->findChildren<QWidget *>();
    family.prepend(control);
    for (QWidget *w : family) {
        const QVariant seenPolicy = w->property(kSeenFocusPolicy);
        if (unseen && w->focusPolicy() != Qt::NoFocus) {
            w->setProperty(kSeenFocusPolicy, int(w->focusPolicy()));
            w->setFocusPolicy(Qt::NoFocus);
        } else if (!unseen && seenPolicy.isValid()) {
            w->setFocusPolicy(static_cast<Qt::FocusPolicy>(seenPolicy.toInt()));
            w->setProperty(kSeenFocusPolicy, QVariant());
        }
    }
    QWidget *parent = control->parentWidget();
    if (!parent)
        return;
    if (QAccessible::isActive()) {
        QAccessibleEvent showing(control, unseen ? QAccessible::ObjectHide : QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&showing);
        QAccessibleEvent reorder(parent, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

bool isUnseen(const QWidget *control)
{
    return control->property(kUnseen).toBool();
}

void announce(QWidget *near, const QString &text)
{
    QWidget *notification = notificationOf(near);
    if (!notification) {
        notification = new QWidget(near->window());
        notification->setObjectName(QLatin1String(kAnnouncement));
        notification->setProperty(kAnnouncement, QString());
        notification->setFocusPolicy(Qt::NoFocus);
        notification->hide();
    }
    notification->setProperty(kAnnouncement, text);
    if (QAccessible::isActive()) {
        QAccessibleEvent shown(notification, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
}

void reachByTabWithScreenReader(QWidget *control)
{
    static ReaderTabObserver observer;
    static const bool observing = [] {
        QAccessible::installActivationObserver(&observer);
        return true;
    }();
    Q_UNUSED(observing)
    control->setProperty(kReaderTab, true);
    applyReaderTab(control, QAccessible::isActive());
}

void setTabOrder(std::initializer_list<QWidget *> order)
{
    std::vector<Qt::FocusPolicy> policies;
    for (QWidget *control : order) {
        policies.push_back(control->focusPolicy());
        control->setFocusPolicy(Qt::TabFocus);
    }
    for (auto it = order.begin(); it + 1 != order.end(); ++it)
        QWidget::setTabOrder(*it, *(it + 1));
    auto policy = policies.begin();
    for (QWidget *control : order)
        control->setFocusPolicy(*policy++);
}

} // namespace Accessibility
