#include "saved/OpenDialog.h"

#include "foundation/MessageBoxes.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>

namespace OpenDialog {

namespace {

const QString kSuffix = QStringLiteral("num");

Chooser &chooserForTest()
{
    static Chooser chooser;
    return chooser;
}

// The default suffix is for a name typed without one that does not exist as typed: an existing
// file such as "datanum" is returned as it is and left to the caller's own name test. Qt appends
// the suffix to every name without a dot, so it is switched on only while the typed name does not
// exist, and the dialog's own checks (Open button, selection) are told when that changes.
class SavedReadingDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        followTypedName();
        const QStringList files = selectedFiles();
        if (files.size() == 1 && !QFileInfo::exists(files.constFirst())) {
            // Qt would say this in a box of its own, out of reach of the program's message boxes.
            MessageBoxes::show(this, QMessageBox::Warning, windowTitle(),
                               QFileInfo(files.constFirst()).fileName() +
                                   QStringLiteral("\nFile not found.\nPlease verify the correct file name "
                                                  "was given."),
                               QMessageBox::Ok);
            return;
        }
        QFileDialog::accept();
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        if (!m_nameEdit) {
            m_nameEdit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (m_nameEdit)
                connect(m_nameEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
                    if (followTypedName())
                        emit m_nameEdit->textChanged(text);
                });
        }
        QFileDialog::showEvent(event);
    }

private:
    // The typed name as a path, without any suffix; empty when nothing is typed.
    QString typedPath() const
    {
        QString text = m_nameEdit ? m_nameEdit->text() : QString();
        if (text.isEmpty())
            return {};
        if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
            text.replace(0, 1, QDir::homePath());
        return directory().absoluteFilePath(text);
    }

    // True when the suffix had to change.
    bool followTypedName()
    {
        const QString before = defaultSuffix();
        const QString typed = typedPath();
        setDefaultSuffix(!typed.isEmpty() && QFileInfo::exists(typed) ? QString() : kSuffix);
        return defaultSuffix() != before;
    }

    QPointer<QLineEdit> m_nameEdit;
};

// Qt's file dialog keeps its history, last folder and view in a settings file that every Qt
// program shares. The program stores nothing but the reminder date, so while the dialog lives
// that file is looked for in a scratch folder, which goes with everything written to it.
class ScratchDialogMemory final
{
public:
    ScratchDialogMemory()
        : m_format(QSettings::defaultFormat()),
          m_userPath(QFileInfo(QSettings(m_format, QSettings::UserScope, QStringLiteral("probe")).fileName())
                         .absolutePath())
    {
        if (m_scratch.isValid())
            QSettings::setPath(m_format, QSettings::UserScope, m_scratch.path());
    }
    ~ScratchDialogMemory() { QSettings::setPath(m_format, QSettings::UserScope, m_userPath); }
    ScratchDialogMemory(const ScratchDialogMemory &) = delete;
    ScratchDialogMemory &operator=(const ScratchDialogMemory &) = delete;

private:
    QTemporaryDir m_scratch;
    const QSettings::Format m_format;
    const QString m_userPath;
};

// The folder of the file last chosen in this run, where the next Open starts; kept in memory only.
QString &lastFolder()
{
    static QString folder;
    return folder;
}

// The real dialog. A refused file brings the dialog back where the user left it.
QString runRealDialog(QWidget *parent)
{
    const ScratchDialogMemory scratch;
    // Heap-allocated and guarded: the parent may be destroyed while the dialog runs.
    QPointer<SavedReadingDialog> dialog = new SavedReadingDialog(parent);
    configure(*dialog);
    if (QFileInfo(lastFolder()).isDir())
        dialog->setDirectory(lastFolder());
    QString chosen;
    for (;;) {
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (!dialog || !accepted)
            break;
        const QStringList files = dialog->selectedFiles();
        const QString path = files.isEmpty() ? QString() : files.constFirst();
        const QString refusal = refusalFor(stateOf(path));
        if (refusal.isEmpty()) {
            chosen = QFileInfo(path).absoluteFilePath();
            lastFolder() = QFileInfo(chosen).absolutePath();
            break;
        }
        // The dialog is hidden between rounds, so the box goes to the window it belongs to.
        MessageBoxes::show(dialog->parentWidget(), QMessageBox::Warning, dialog->windowTitle(), refusal,
                           QMessageBox::Ok);
        if (!dialog)
            break;
    }
    delete dialog.data();
    return chosen;
}

} // namespace

QString chooseSavedReading(QWidget *parent)
{
    if (const Chooser &chooser = chooserForTest())
        return chooser(parent);
    return runRealDialog(parent);
}

void setChooserForTest(Chooser chooser)
{
    chooserForTest() = std::move(chooser);
}

QStringList nameFiltersFrom(const QString &filterText)
{
    QStringList filters;
    const QStringList parts = filterText.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString &caption = parts.at(i);
        const QString patterns = QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (caption.endsWith(QLatin1Char(')')) && caption.contains(QLatin1Char('(')))
            filters.append(caption);
        else
            filters.append(caption + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

void configure(QFileDialog &dialog)
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFiltersFrom(QStringLiteral("Zenor Free Tessarune Pro (*.num)|*.num")));
    dialog.setDefaultSuffix(kSuffix);
    dialog.setWindowTitle(QStringLiteral("Select the source file"));
    // Qt's own dialog everywhere: the same name rules, and no platform dialog keeping a list of
    // recently used files.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(QString());
}

FileState stateOf(const QString &path)
{
    FileState state;
    if (path.isEmpty())
        return state;
    const QFileInfo info(path);
    state.exists = info.exists();
    state.regular = info.isFile();
    state.writable = info.isWritable();
    state.folderWritable = QFileInfo(info.absolutePath()).isWritable();
    return state;
}

QString refusalFor(const FileState &state)
{
    if (!state.exists)
        return QStringLiteral("The file no longer exists. Please choose another file.");
    if (!state.regular)
        return QStringLiteral("This is not a file. Please choose another file.");
    if (!state.writable)
        return QStringLiteral("The file is read-only. Please choose another file.");
    if (!state.folderWritable)
        return QStringLiteral("The file lies in a write-protected folder. Please choose another file.");
    return {};
}

} // namespace OpenDialog
