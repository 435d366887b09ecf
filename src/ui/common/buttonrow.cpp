#include "common/buttonrow.h"

namespace sheaf::ui {

QHBoxLayout* buttonRow(QWidget* parent, std::initializer_list<ButtonSpec> buttons, std::vector<QPushButton*>& made)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (const ButtonSpec& spec : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), parent);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setDefault(made.empty());
        row->addWidget(button);
        made.push_back(button);
    }
    return row;
}

} // namespace sheaf::ui
