#include "tests/support/TestSupport.h"

#include "foundation/Lifecycle.h"
#include "foundation/SingleInstance.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#if defined(Q_OS_UNIX)
#include <grp.h>
#include <unistd.h>
#endif

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
#if defined(Q_OS_UNIX)
    static QTemporaryDir systemTemp; // nor does it move the user's lock
    if (systemTemp.isValid())
        SingleInstance::setSystemTempFolderForTest(systemTemp.path());
#endif
}

namespace {
const char *const kPrivateVariables[] = {"HOME", "TMPDIR", "XDG_RUNTIME_DIR"};
constexpr unsigned kUnprivilegedId = 65534; // nobody and nogroup on Debian
} // namespace

Unprivileged::Unprivileged()
{
#if defined(Q_OS_UNIX)
    if (geteuid() != 0)
        return;
    char folder[] = "/tmp/zl-unprivileged-XXXXXX";
    if (!mkdtemp(folder) || chown(folder, kUnprivilegedId, kUnprivilegedId) != 0)
        qFatal("cannot make a folder for the unprivileged user");
    m_folder = folder;
    for (const char *name : kPrivateVariables) {
        m_environment.append(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, m_folder);
    }
    // The saved ids stay 0, so the destructor can take root back.
    if (setgroups(0, nullptr) != 0 || setresgid(kUnprivilegedId, kUnprivilegedId, 0) != 0 ||
        setresuid(kUnprivilegedId, kUnprivilegedId, 0) != 0)
        qFatal("cannot run as an unprivileged user");
    m_dropped = true;
#endif
}

Unprivileged::~Unprivileged()
{
#if defined(Q_OS_UNIX)
    if (!m_dropped)
        return;
    if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0 || setgroups(0, nullptr) != 0)
        qFatal("cannot take root back");
    for (int i = 0; i < m_environment.size(); ++i) {
        if (m_environment.at(i))
            qputenv(kPrivateVariables[i], *m_environment.at(i));
        else
            qunsetenv(kPrivateVariables[i]);
    }
    QDir(QString::fromLocal8Bit(m_folder)).removeRecursively();
#endif
}
