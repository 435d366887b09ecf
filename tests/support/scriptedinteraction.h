#pragma once
// Answers the windows' questions from a script and records every message.
#include "common/interaction.h"

#include <QDialog>
#include <QPrinter>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace sheaf::test {

struct RecordedMessage {
    ui::MessageKind kind;
    QString text;
    ui::Buttons buttons;
    ui::Button defaultButton;
};

class ScriptedInteraction : public ui::Interaction {
public:
    std::vector<RecordedMessage> messages;
    std::deque<ui::Button> answers;                 // message boxes; the default button when empty
    std::deque<QString> files;                      // open, save and folder dialogs; cancelled when empty
    std::deque<std::optional<QString>> inputs;      // input boxes; cancelled when empty
    std::deque<std::function<int(QDialog&)>> dialogs; // the program's own dialogs; rejected when empty

    ui::Button message(QWidget*, ui::MessageKind kind, const QString& text, ui::Buttons buttons,
                       ui::Button defaultButton) override
    {
        messages.push_back({kind, text, buttons, defaultButton});
        if (answers.empty())
            return defaultButton;
        const ui::Button b = answers.front();
        answers.pop_front();
        return b;
    }
    QString openFile(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return nextFile(); }
    // One scripted entry holds the chosen files separated by '\n'.
    QStringList openFiles(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        const QString f = nextFile();
        return f.isEmpty() ? QStringList() : f.split(QLatin1Char('\n'));
    }
    QString saveFile(QWidget*, const QString&, const QString&, const QString&, const QString&, const QString&) override
    {
        return nextFile();
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return nextFile(); }
    std::vector<bool> fontRequests; // monospacedOnly of every font dialog asked for
    std::optional<QFont> chooseFont(QWidget*, const QFont&, bool monospacedOnly) override
    {
        fontRequests.push_back(monospacedOnly);
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    // Printer set-ups answered with a PDF file each; cancelled when empty.
    std::deque<QString> printToPdf;
    bool setupPrinter(QWidget*, QPrinter& printer) override
    {
        if (printToPdf.empty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf.front());
        printToPdf.pop_front();
        return true;
    }
    std::optional<QString> inputText(QWidget*, const QString&, const QString&, const QString&) override
    {
        if (inputs.empty())
            return std::nullopt;
        const bool given = inputs.front().has_value();
        const QString v = given ? *inputs.front() : QString();
        inputs.pop_front();
        if (!given)
            return std::nullopt;
        return v;
    }
    int execDialog(QDialog& dialog) override
    {
        if (dialogs.empty())
            return QDialog::Rejected;
        auto f = dialogs.front();
        dialogs.pop_front();
        return f(dialog);
    }

    // Texts of the messages shown so far, and forgets them.
    QStringList takeTexts()
    {
        QStringList texts;
        for (const auto& m : messages)
            texts << m.text;
        messages.clear();
        return texts;
    }

private:
    QString nextFile()
    {
        if (files.empty())
            return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace sheaf::test
