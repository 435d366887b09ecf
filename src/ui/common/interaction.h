#pragma once
// Every message box and standard dialog the windows show goes through this
// interface, so tests can answer them from a script.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QDialog;
class QPrinter;
class QWidget;

namespace sheaf::ui {

enum class MessageKind { Warning, Error, Information, Confirmation };

enum Button : int {
    NoButton = 0,
    Ok = 1,
    Cancel = 2,
    Yes = 4,
    No = 8,
    Abort = 16,
    Ignore = 32,
};
using Buttons = int;

class Interaction {
public:
    virtual ~Interaction() = default;

    // Shows text with the buttons; answers the button pressed (the default
    // button has the focus).
    virtual Button message(QWidget* parent, MessageKind kind, const QString& text, Buttons buttons = Ok,
                           Button defaultButton = Ok) = 0;
    // File and folder dialogs answer an empty string when cancelled. filter is
    // in the "Name|*.ext|Name|*.*" form.
    virtual QString openFile(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                             const QString& filter) = 0;
    // Several files at once; empty when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                                  const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& folder, const QString& fileName,
                             const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    // monospacedOnly lists fixed-pitch fonts only (the editors' font).
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial, bool monospacedOnly = false) = 0;
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    // The printer set-up dialog (a printer, or printing into a PDF file); false when cancelled.
    virtual bool setupPrinter(QWidget* parent, QPrinter& printer) = 0;
    virtual std::optional<QString> inputText(QWidget* parent, const QString& caption, const QString& prompt,
                                             const QString& preset) = 0;
    // Runs one of the program's own modal dialogs; answers QDialog::Accepted or Rejected.
    virtual int execDialog(QDialog& dialog) = 0;
};

// The interaction in use; the real one unless a test installed another.
Interaction& interaction();
// Installs an interaction (nullptr restores the real one); answers the previous.
std::unique_ptr<Interaction> setInteraction(std::unique_ptr<Interaction> replacement);

// Shorthands for the common boxes.
inline void showWarning(QWidget* parent, const QString& text) { interaction().message(parent, MessageKind::Warning, text); }
inline void showError(QWidget* parent, const QString& text) { interaction().message(parent, MessageKind::Error, text); }
inline void showInformation(QWidget* parent, const QString& text)
{
    interaction().message(parent, MessageKind::Information, text);
}

} // namespace sheaf::ui
