#include "tests/support/TestSupport.h"

#include "foundation/Lifecycle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

MessageRecorder::MessageRecorder()
{
    MessageBoxes::setResponderForTest([this](const MessageBoxes::Shown &box) {
        shown.append(box);
        if (whenShown)
            whenShown();
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
    if (whenOpened)
        whenOpened(url);
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
    // Test mode leaves the runtime folder alone: the instance lock would meet the user's running copy.
    static QTemporaryDir runtime; // 0700, as the runtime folder must be
    if (runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}
