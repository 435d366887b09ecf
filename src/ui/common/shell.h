#pragma once
// The desktop services the programs use: the file type of projects, desktop
// launchers and the desktop folder (freedesktop.org conventions).
#include <QString>

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

} // namespace sheaf::ui
