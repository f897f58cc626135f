#include "tests/support/TestSupport.h"

#include "foundation/Lifecycle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QStandardPaths>

MessageRecorder::MessageRecorder()
{
    MessageBoxes::setResponderForTest([this](const MessageBoxes::Shown &box) {
        shown.append(box);
        if (takesFocus && QApplication::focusWidget())
            QApplication::focusWidget()->clearFocus();
        return answer;
    });
}

MessageRecorder::~MessageRecorder()
{
    MessageBoxes::setResponderForTest(nullptr);
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto &box : shown)
        result.append(box.text);
    return result;
}

UrlRecorder::UrlRecorder()
{
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
}

UrlRecorder::~UrlRecorder()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

QStringList UrlRecorder::addresses() const
{
    QStringList result;
    for (const QUrl &url : urls)
        result.append(QString::fromUtf8(url.toEncoded()));
    return result;
}

void UrlRecorder::open(const QUrl &url)
{
    urls.append(url);
}

EndRecorder::EndRecorder()
{
    Lifecycle::setEnderForTest([this](int) { ++ends; });
}

EndRecorder::~EndRecorder()
{
    Lifecycle::setEnderForTest(nullptr);
    Lifecycle::resetForTest();
}

void isolateUserFolders()
{
    QStandardPaths::setTestModeEnabled(true);
}
