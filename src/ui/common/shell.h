#pragma once
// The desktop services the programs use: the file type of projects, desktop
// launchers and the desktop folder (freedesktop.org conventions).
#include <QString>
#include <QStringList>

class QWidget;

namespace sheaf::ui {

class CSpecialFolder {
public:
    enum Folder { Desktop = 0 };
    // The folder's path, empty when it cannot be found.
    static QString GetPath(Folder folder);
};

class CShortcutLink {
public:
    QString TargetFile;
    QString WorkingDirectory;
    QString Arguments;
    QString IconFile;
    QString LinkFolder = CSpecialFolder::GetPath(CSpecialFolder::Desktop);
    QString LinkName; // derived: the target's base name
    QString LinkPath; // derived: LinkFolder/LinkName.desktop

    // Writes a launcher that opens TargetFile with this program; shows the
    // reason and answers false when it cannot.
    bool CreateLink(QWidget* parent);
};

class CExtAssociate {
public:
    QString Extension;   // "shf3" or ".shf3"
    QString FileType;    // "duvoror.shf3"
    QString Description; // "Sheaf3 Project"
    QString Application; // the program that opens such files

    // Registers a MIME type for the extension and a desktop entry that opens
    // it, under $XDG_DATA_HOME; the desktop databases are refreshed when the
    // files changed. Throws SheafError for a missing field; answers false
    // (after showing why) when a file cannot be written.
    bool Associate(QWidget* parent);
    QString mimeType() const;
};

// The command that opens a text file in the user's editor: the program the
// freedesktop MIME database associates with text/plain (its desktop entry's
// Exec line, field codes replaced), else $VISUAL or $EDITOR when it names a
// program with a window of its own. Empty when there is none.
QStringList textEditorCommand(const QString& file);

} // namespace sheaf::ui
