#include "promotion/PlaceholderField.h"

#include "promotion/modTellAFriend.h"

#include <QDropEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <utility>

PlaceholderField::PlaceholderField(QLineEdit *edit, QString placeholder)
    : QObject(edit), m_line(edit), m_placeholder(std::move(placeholder))
{
    edit->installEventFilter(this);
}

PlaceholderField::PlaceholderField(QPlainTextEdit *edit, QString placeholder)
    : QObject(edit), m_multi(edit), m_placeholder(std::move(placeholder))
{
    edit->installEventFilter(this);
    edit->viewport()->installEventFilter(this); // drops land on the viewport
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
    // toPlainText() would turn no-break spaces into spaces; only the block breaks are translated here.
    QString text = m_multi->document()->toRawText();
    for (QChar &ch : text) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator)
            ch = u'\n';
    }
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

void PlaceholderField::reportFocusIn()
{
    if (std::exchange(m_focusInPending, false) && widget()->hasFocus())
        emit gotFocus();
}

bool PlaceholderField::eventFilter(QObject *watched, QEvent *event)
{
    // Whatever is typed lands where the placeholder was, never beside it.
    if (watched == widget() && (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod))
        reportFocusIn();

    if (event->type() == QEvent::Drop) {
        // Text dropped from elsewhere replaces the placeholder instead of landing inside it.
        const auto *drop = static_cast<QDropEvent *>(event);
        if (drop->source() != watched && drop->source() != widget() && drop->mimeData() &&
            drop->mimeData()->hasText())
            clearPlaceholder();
    }
    if (watched == widget() && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // Only moves between controls count: a message box, a context menu or another program taking
        // the keyboard must not put the placeholder back under the user's cursor.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (event->type() == QEvent::FocusIn) {
                // Reported once the focus has landed: a field whose text changes while the focus
                // moves to it is not announced by screen readers.
                m_focusInPending = true;
                QMetaObject::invokeMethod(this, &PlaceholderField::reportFocusIn, Qt::QueuedConnection);
            } else {
                m_focusInPending = false;
                emit lostFocus();
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
