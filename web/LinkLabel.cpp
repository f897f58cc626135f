#include "web/LinkLabel.h"

#include "foundation/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

class AccessibleLinkLabel final : public QAccessibleWidget
{
public:
    explicit AccessibleLinkLabel(QWidget *w) : QAccessibleWidget(w, QAccessible::Link)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString explicitName = widget()->accessibleName();
            return explicitName.isEmpty() ? label()->text() : explicitName;
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<LinkLabel *>(widget())->activate();
    }

private:
    const QLabel *label() const { return static_cast<const QLabel *>(widget()); }
};

QAccessibleInterface *linkLabelFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("LinkLabel") && object && object->isWidgetType())
        return new AccessibleLinkLabel(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    static const bool registered = [] {
        QAccessible::installFactory(linkLabelFactory);
        return true;
    }();
    Q_UNUSED(registered)
    setCursor(Qt::PointingHandCursor);
    Accessibility::reachByTabWithScreenReader(this);
}

void LinkLabel::activate()
{
    emit clicked();
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Like a button: the click counts only if released over the label.
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        activate();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    // Space presses the focused link, as it presses a focused button; Enter follows it as in a
    // browser, but in a dialog Enter is left to the dialog's default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool inDialog = qobject_cast<QDialog *>(window()) != nullptr;
    if ((event->key() == Qt::Key_Space || (enter && !inDialog)) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        activate();
        return;
    }
    QLabel::keyPressEvent(event);
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
