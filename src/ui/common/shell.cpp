#include "common/shell.h"

#include "common/error.h"
#include "common/interaction.h"
#include "common/qtext.h"
#include "common/sjis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace sheaf::ui {
namespace {

// Writes text to path unless it already holds exactly that; answers whether
// it changed, nullopt on failure.
std::optional<bool> writeIfChanged(const QString& path, const QByteArray& content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return std::nullopt;
    return true;
}

// A value for an Exec key: quoted, with the characters that desktop entries reserve escaped.
QString execArgument(const QString& arg)
{
    QString escaped = arg;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    escaped.replace(QLatin1Char('`'), QStringLiteral("\\`"));
    escaped.replace(QLatin1Char('$'), QStringLiteral("\\$"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void runIfPresent(const QString& program, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(program);
    if (exe.isEmpty())
        return;
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(10000);
}

} // namespace

QString CSpecialFolder::GetPath(Folder)
{
    // $XDG_CONFIG_HOME/user-dirs.dirs names the desktop; ~/Desktop otherwise.
    const QString home = QDir::homePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = home + QStringLiteral("/.config");
    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly | QIODevice::Text)) {
        static const QRegularExpression line(QStringLiteral("^XDG_DESKTOP_DIR=\"(.*)\"\\s*$"));
        while (!dirs.atEnd()) {
            const auto m = line.match(QString::fromUtf8(dirs.readLine()).trimmed());
            if (m.hasMatch()) {
                QString path = m.captured(1);
                path.replace(QStringLiteral("$HOME"), home);
                return QDir(path).exists() ? path : QString();
            }
        }
    }
    const QString desktop = home + QStringLiteral("/Desktop");
    return QDir(desktop).exists() ? desktop : QString();
}

bool CShortcutLink::CreateLink(QWidget* parent)
{
    if (TargetFile.isEmpty()) {
        interaction().message(parent, MessageKind::Information, u8("リンクを作成するファイル名が設定されていません"));
        return false;
    }
    if (!QFileInfo::exists(TargetFile)) {
        interaction().message(parent, MessageKind::Information, u8("リンクを作成するファイルは存在しません"));
        return false;
    }
    LinkName = QFileInfo(TargetFile).completeBaseName();
    if (LinkFolder.isEmpty() || !QDir(LinkFolder).exists()) {
        interaction().message(parent, MessageKind::Information, u8(".lnk ファイルを置くフォルダが存在しません"));
        return false;
    }
    if (!IconFile.isEmpty() && !QFileInfo::exists(IconFile)) {
        interaction().message(parent, MessageKind::Information, u8("指定のアイコンファイルは存在しません"));
        return false;
    }
    LinkPath = QDir(LinkFolder).filePath(LinkName + QStringLiteral(".desktop"));
    QString exec = execArgument(QCoreApplication::applicationFilePath());
    if (!Arguments.isEmpty())
        exec += QLatin1Char(' ') + Arguments;
    exec += QLatin1Char(' ') + execArgument(TargetFile);
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nComment=%1\nExec=%2\n").arg(LinkName, exec);
    if (!WorkingDirectory.isEmpty())
        text += QStringLiteral("Path=%1\n").arg(WorkingDirectory);
    text += QStringLiteral("Icon=%1\n").arg(IconFile.isEmpty() ? QStringLiteral("text-x-generic") : IconFile);
    if (!writeIfChanged(LinkPath, text.toUtf8()))
        return false;
    QFile(LinkPath).setPermissions(QFile(LinkPath).permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return true;
}

QString CExtAssociate::mimeType() const
{
    QString name = FileType;
    name.replace(QLatin1Char('.'), QLatin1Char('-'));
    return QStringLiteral("application/x-") + name;
}

bool CExtAssociate::Associate(QWidget* parent)
{
    if (Extension.isEmpty())
        throw SheafError(sjis::sj("Extension を指定してください"));
    if (FileType.isEmpty())
        throw SheafError(sjis::sj("FileType を指定してください"));
    if (Description.isEmpty())
        throw SheafError(sjis::sj("Description を指定してください"));
    if (!QFileInfo::exists(Application))
        throw SheafError(sjis::sj("Application は存在しません"));
    const QString ext = Extension.startsWith(QLatin1Char('.')) ? Extension : QLatin1Char('.') + Extension;

    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString mimeFile = data + QStringLiteral("/mime/packages/") + FileType + QStringLiteral(".xml");
    const QString desktopId = FileType + QStringLiteral(".desktop");
    const QString desktopFile = data + QStringLiteral("/applications/") + desktopId;

    const QByteArray mime = QStringLiteral(
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                "  <mime-type type=\"%1\">\n    <comment>%2</comment>\n    <glob pattern=\"*%3\"/>\n"
                                "  </mime-type>\n</mime-info>\n")
                                .arg(mimeType(), Description.toHtmlEscaped(), ext)
                                .toUtf8();
    const QByteArray entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Sheaf3\nComment=%1\n"
                                            "Exec=%2 %f\nMimeType=%3;\nTerminal=false\nCategories=Office;\n")
                                 .arg(Description, execArgument(Application), mimeType())
                                 .toUtf8();

    const auto mimeChanged = writeIfChanged(mimeFile, mime);
    if (!mimeChanged) {
        interaction().message(parent, MessageKind::Error, u8("拡張子キーを作成できませんでした"));
        return false;
    }
    const auto entryChanged = writeIfChanged(desktopFile, entry);
    if (!entryChanged) {
        interaction().message(parent, MessageKind::Error, u8("command キーを作成できませんでした"));
        return false;
    }
    // The databases are refreshed only when something changed, so a normal
    // start does not wait for them.
    if (*mimeChanged)
        runIfPresent(QStringLiteral("update-mime-database"), {data + QStringLiteral("/mime")});
    if (*mimeChanged || *entryChanged) {
        runIfPresent(QStringLiteral("update-desktop-database"), {data + QStringLiteral("/applications")});
        runIfPresent(QStringLiteral("xdg-mime"), {QStringLiteral("default"), desktopId, mimeType()});
    }
    return true;
}

namespace {

QStringList xdgFolders(const char* homeVariable, const QString& homeDefault, const char* dirsVariable,
                       const QString& dirsDefault, const QString& sub)
{
    QStringList folders;
    const QString home = qEnvironmentVariable(homeVariable, homeDefault);
    folders << home + sub;
    for (const QString& d : qEnvironmentVariable(dirsVariable, dirsDefault).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << d + sub;
    return folders;
}

// The desktop entry that text/plain opens with, from the mimeapps.list files
// in their order of precedence.
QString defaultTextApplication()
{
    const QString home = QDir::homePath();
    QStringList lists;
    for (const QString& f : xdgFolders("XDG_CONFIG_HOME", home + QStringLiteral("/.config"), "XDG_CONFIG_DIRS",
                                       QStringLiteral("/etc/xdg"), QString()))
        lists << f + QStringLiteral("/mimeapps.list");
    for (const QString& f : xdgFolders("XDG_DATA_HOME", home + QStringLiteral("/.local/share"), "XDG_DATA_DIRS",
                                       QStringLiteral("/usr/local/share:/usr/share"), QStringLiteral("/applications")))
        lists << f + QStringLiteral("/mimeapps.list") << f + QStringLiteral("/defaults.list");
    for (const QString& list : lists) {
        QFile file(list);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        bool inDefaults = false;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.startsWith(QLatin1Char('[')))
                inDefaults = line == QLatin1String("[Default Applications]");
            else if (inDefaults && line.startsWith(QLatin1String("text/plain=")))
                return line.mid(11).split(QLatin1Char(';'), Qt::SkipEmptyParts).value(0);
        }
    }
    // The desktop's own tool knows more (desktop-specific lists).
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (query.waitForFinished(5000) && query.exitCode() == 0)
        return QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    return {};
}

// The Exec line of a desktop entry, split into arguments, with the file in
// place of its field codes.
QStringList execCommand(const QString& desktopId, const QString& file)
{
    const QString home = QDir::homePath();
    for (const QString& folder : xdgFolders("XDG_DATA_HOME", home + QStringLiteral("/.local/share"), "XDG_DATA_DIRS",
                                            QStringLiteral("/usr/local/share:/usr/share"), QStringLiteral("/applications"))) {
        QFile entry(folder + QLatin1Char('/') + desktopId);
        if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        bool inEntry = false;
        while (!entry.atEnd()) {
            const QString line = QString::fromUtf8(entry.readLine()).trimmed();
            if (line.startsWith(QLatin1Char('[')))
                inEntry = line == QLatin1String("[Desktop Entry]");
            if (!inEntry || !line.startsWith(QLatin1String("Exec=")))
                continue;
            QStringList args = QProcess::splitCommand(line.mid(5));
            QStringList out;
            bool placed = false;
            for (QString a : args) {
                if (a == QLatin1String("%f") || a == QLatin1String("%F") || a == QLatin1String("%u") ||
                    a == QLatin1String("%U")) {
                    out << file;
                    placed = true;
                } else if (a.size() == 2 && a.startsWith(QLatin1Char('%'))) {
                    continue; // %i, %c, %k and the deprecated codes stand for nothing here
                } else {
                    out << a.replace(QLatin1String("%%"), QLatin1String("%"));
                }
            }
            if (!placed)
                out << file;
            return out;
        }
    }
    return {};
}

} // namespace

QStringList textEditorCommand(const QString& file)
{
    const QString application = defaultTextApplication();
    if (!application.isEmpty()) {
        const QStringList command = execCommand(application, file);
        if (!command.isEmpty())
            return command;
    }
    // Editors that run inside a terminal show no window of their own.
    static const QStringList terminal{QStringLiteral("vi"),   QStringLiteral("vim"),  QStringLiteral("nvim"),
                                      QStringLiteral("nano"), QStringLiteral("pico"), QStringLiteral("ed"),
                                      QStringLiteral("micro"), QStringLiteral("joe"), QStringLiteral("mg"),
                                      QStringLiteral("ne"),   QStringLiteral("emacs")};
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const QStringList command = QProcess::splitCommand(qEnvironmentVariable(variable));
        if (command.isEmpty() || terminal.contains(QFileInfo(command.front()).fileName()) ||
            command.contains(QStringLiteral("-nw")))
            continue;
        return command + QStringList{file};
    }
    return {};
}

} // namespace sheaf::ui
