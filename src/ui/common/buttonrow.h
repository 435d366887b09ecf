#pragma once
// The row of push buttons at the foot of a dialog.
#include <QHBoxLayout>
#include <QPushButton>

#include <initializer_list>
#include <vector>

namespace sheaf::ui {

struct DialogButton {
    const char* name;    // object name ("btnDo")
    const char* caption; // UTF-8 caption
};

// The buttons right-aligned in a new row, in order, the first the default
// button; the buttons are handed back through made.
QHBoxLayout* buttonRow(QWidget* parent, std::initializer_list<DialogButton> buttons, std::vector<QPushButton*>& made);

} // namespace sheaf::ui
