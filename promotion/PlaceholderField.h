#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// A text box whose real text is its placeholder while it is empty (so the placeholder is captured and
// checked like typed text). It reports focus changes inside its window; the owner's handlers apply the
// rules below.
class PlaceholderField final : public QObject
{
    Q_OBJECT
public:
    PlaceholderField(QLineEdit *edit, QString placeholder);
    // Multi-line: line breaks read as CR LF, the way the text was stored by the original box.
    PlaceholderField(QPlainTextEdit *edit, QString placeholder);

    QWidget *widget() const;
    const QString &placeholder() const { return m_placeholder; }
    QString text() const;
    void setText(const QString &text);

    // Focus in: if the space-trimmed text equals the placeholder, empty the box.
    void clearPlaceholder();
    // Focus out: if the space-trimmed text is empty, show the bare placeholder; the text is never trimmed.
    void restorePlaceholder();

signals:
    void gotFocus();
    void lostFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reportFocusIn();

    QLineEdit *m_line = nullptr;
    QPlainTextEdit *m_multi = nullptr;
    QString m_placeholder;
    bool m_focusInPending = false;
};
