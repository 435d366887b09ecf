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

} // namespace sheaf::ui
