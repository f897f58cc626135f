#include "promotion/PlaceholderField.h"

#include "promotion/modTellAFriend.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

PlaceholderField::PlaceholderField(QLineEdit *edit, QString placeholder)
    : QObject(edit), m_line(edit), m_placeholder(std::move(placeholder))
{
    edit->installEventFilter(this);
}

PlaceholderField::PlaceholderField(QPlainTextEdit *edit, QString placeholder)
    : QObject(edit), m_multi(edit), m_placeholder(std::move(placeholder))
{
    edit->installEventFilter(this);
}

QWidget *PlaceholderField::widget() const
{
    if (m_line)
        return m_line;
    return m_multi;
}

QString PlaceholderField::text() const
{
    if (m_line)
        return m_line->text();
    QString text = m_multi->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void PlaceholderField::setText(const QString &text)
{
    if (m_line) {
        m_line->setText(text);
        return;
    }
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_multi->setPlainText(plain);
}

void PlaceholderField::clearPlaceholder()
{
    if (modTellAFriend::trimSpaces(text()) == m_placeholder)
        setText(QString());
}

void PlaceholderField::restorePlaceholder()
{
    if (modTellAFriend::trimSpaces(text()).isEmpty())
        setText(m_placeholder);
}

bool PlaceholderField::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        // Only moves between controls count: a message box, a context menu or another program taking
        // the keyboard must not put the placeholder back under the user's cursor.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (event->type() == QEvent::FocusIn)
                emit gotFocus();
            else
                emit lostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}
