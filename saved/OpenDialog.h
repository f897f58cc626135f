#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// The Open dialog of the open command, behind a seam so tests never show a real dialog.
namespace OpenDialog {

// Open dialog for a saved reading; the chosen full path, or empty on cancel.
QString chooseSavedReading(QWidget *parent);

using Chooser = std::function<QString(QWidget *parent)>;
void setChooserForTest(Chooser chooser); // nullptr restores the real dialog

// The pieces of the real dialog, open to tests.

// Turns a "caption|pattern|caption|pattern" filter text into name filters; a caption that
// already names its pattern in parentheses is used as it is.
QStringList nameFiltersFrom(const QString &filterText);

// Title, filter, default suffix, modes and options of the real dialog.
void configure(QFileDialog &dialog);

// What the dialog needs to know about a chosen file before it may return it.
struct FileState
{
    bool exists = false;
    bool regular = false;
    bool writable = false;
    bool folderWritable = false;
};
FileState stateOf(const QString &path);

// Why a chosen file is refused (the dialog does not return read-only files), or empty if it is not.
QString refusalFor(const FileState &state);

} // namespace OpenDialog
