#pragma once

#include "foundation/MessageBoxes.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

// Records every message box instead of showing it, answering with a scripted button.
class MessageRecorder final
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QList<MessageBoxes::Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    // Like a box that does not hand the keyboard back: the focus is gone after each box.
    bool takesFocus = false;
    std::function<void()> whenShown; // called as each box would show

    QStringList texts() const;
};

// Captures every address handed to the browser.
class UrlRecorder final : public QObject
{
    Q_OBJECT
public:
    UrlRecorder();
    ~UrlRecorder() override;

    QList<QUrl> urls;
    std::function<void(const QUrl &)> whenOpened; // called as the browser would start
    QStringList addresses() const;                // fully encoded, as the browser would get them

public slots:
    void open(const QUrl &url);
};

// Ends of the process are counted instead of ending the test.
class EndRecorder final
{
public:
    EndRecorder();
    ~EndRecorder();
    EndRecorder(const EndRecorder &) = delete;
    EndRecorder &operator=(const EndRecorder &) = delete;
    int ends = 0;
};

// Settings and the instance locks' folders are private; no test touches the user's files.
void isolateUserFolders();

// Permission checks mean nothing to root, and CI runs as root: while this lives, a root process runs
// as an unprivileged user (uid and gid 65534) with its own HOME, runtime and temporary folders.
// For any other user it changes nothing.
class Unprivileged final
{
public:
    Unprivileged();
    ~Unprivileged();
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;
    bool dropped() const { return m_dropped; }

private:
    bool m_dropped = false;
    QList<std::optional<QByteArray>> m_environment; // what the variables it replaced held
    QByteArray m_folder;
};
