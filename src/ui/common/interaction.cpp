#include "common/interaction.h"

#include "common/qtext.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace sheaf::ui {
namespace {

class QtInteraction final : public Interaction {
public:
    Button message(QWidget* parent, MessageKind kind, const QString& text, Buttons buttons, Button def) override
    {
        QMessageBox box(parent);
        box.setText(text);
        box.setWindowTitle(QStringLiteral("Sheaf3"));
        box.setIcon(kind == MessageKind::Warning       ? QMessageBox::Warning
                    : kind == MessageKind::Error       ? QMessageBox::Critical
                    : kind == MessageKind::Information ? QMessageBox::Information
                                                       : QMessageBox::Question);
        const std::pair<Button, QMessageBox::StandardButton> map[] = {
            {Ok, QMessageBox::Ok},       {Cancel, QMessageBox::Cancel}, {Yes, QMessageBox::Yes},
            {No, QMessageBox::No},       {Abort, QMessageBox::Abort},   {Ignore, QMessageBox::Ignore},
        };
        for (const auto& [ours, theirs] : map) {
            if (buttons & ours) {
                QPushButton* b = box.addButton(theirs);
                if (ours == def)
                    box.setDefaultButton(b);
            }
        }
        box.exec();
        for (const auto& [ours, theirs] : map)
            if (box.standardButton(box.clickedButton()) == theirs)
                return ours;
        return (buttons & Cancel) ? Cancel : (buttons & No) ? No : def;
    }

    QString openFile(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                     const QString& filter) override
    {
        QFileDialog dialog(parent, title, folder, dialogFilter(filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!fileName.contains(QLatin1Char('*')))
            dialog.selectFile(fileName);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    }

    QStringList openFiles(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                          const QString& filter) override
    {
        QFileDialog dialog(parent, title, folder, dialogFilter(filter));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (!fileName.contains(QLatin1Char('*')))
            dialog.selectFile(fileName);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    }

    QString saveFile(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                     const QString& filter, const QString& defaultSuffix) override
    {
        QFileDialog dialog(parent, title, folder, dialogFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        dialog.selectFile(fileName);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                        : QString();
    }

    QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) override
    {
        return QFileDialog::getExistingDirectory(parent, title, folder);
    }

    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial, bool monospacedOnly) override
    {
        bool ok = false;
        QFontDialog::FontDialogOptions options = QFontDialog::ScalableFonts | QFontDialog::NonScalableFonts;
        if (monospacedOnly)
            options |= QFontDialog::MonospacedFonts;
        const QFont font = QFontDialog::getFont(&ok, initial, parent, QString(), options);
        return ok ? std::optional<QFont>(font) : std::nullopt;
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override
    {
        const QColor c = QColorDialog::getColor(initial, parent);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    }

    bool setupPrinter(QWidget* parent, QPrinter& printer) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& preset) override
    {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, preset, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }
};

std::unique_ptr<Interaction>& current()
{
    static std::unique_ptr<Interaction> instance = std::make_unique<QtInteraction>();
    return instance;
}

} // namespace

Interaction& interaction() { return *current(); }

std::unique_ptr<Interaction> setInteraction(std::unique_ptr<Interaction> replacement)
{
    std::unique_ptr<Interaction> previous = std::move(current());
    current() = replacement ? std::move(replacement) : std::make_unique<QtInteraction>();
    return previous;
}

} // namespace sheaf::ui
