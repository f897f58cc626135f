#include "saved/OpenDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

namespace OpenDialog {

namespace {

Chooser &chooserForTest()
{
    static Chooser chooser;
    return chooser;
}

// The real dialog. A refused file brings the dialog back where the user left it, so the refusal
// works the same for Qt's own dialog and for a platform one (which closes before we can check).
QString runRealDialog(QWidget *parent)
{
    // Heap-allocated and guarded: the parent may be destroyed while the dialog runs.
    QPointer<QFileDialog> dialog = new QFileDialog(parent);
    configure(*dialog);
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
            break;
        }
        // The dialog is hidden between rounds, so the box goes to the window it belongs to.
        QMessageBox::warning(dialog->parentWidget(), dialog->windowTitle(), refusal);
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
    dialog.setDefaultSuffix(QStringLiteral("num"));
    dialog.setWindowTitle(QStringLiteral("Select the source file"));
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
