#include "common/buttonrow.h"

namespace sheaf::ui {

QHBoxLayout* buttonRow(QWidget* parent, std::initializer_list<DialogButton> buttons, std::vector<QPushButton*>& made)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (const DialogButton& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), parent);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setDefault(made.empty());
        row->addWidget(button);
        made.push_back(button);
    }
    return row;
}

} // namespace sheaf::ui
