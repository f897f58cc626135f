#include "web/LinkButton.h"

#include "foundation/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AccessibleLinkButton final : public QAccessibleWidget
{
public:
    explicit AccessibleLinkButton(QWidget *w) : QAccessibleWidget(w, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (!own.isEmpty() || t != QAccessible::Name)
            return own;
        return Accessibility::withoutAccessKeys(button()->text());
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &name) override
    {
        if (name == pressAction())
            button()->click();
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

QAccessibleInterface *linkButtonFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("LinkButton") && object && object->isWidgetType())
        return new AccessibleLinkButton(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

LinkButton::LinkButton(QWidget *parent) : QPushButton(parent)
{
    // Before the button's first event, which makes its interface.
    static const bool registered = [] {
        QAccessible::installFactory(linkButtonFactory);
        return true;
    }();
    Q_UNUSED(registered)
}
