#include "search/historybox.h"

#include "common/qtext.h"

#include <QComboBox>

namespace sheaf::ui {

std::vector<std::string> historyOf(const QComboBox* box)
{
    std::vector<std::string> list;
    for (int i = 0; i < box->count(); ++i)
        list.push_back(sj(box->itemText(i)));
    return list;
}

void fillHistory(QComboBox* box, const std::vector<std::string>& list)
{
    box->clear();
    for (const auto& s : list)
        box->addItem(qs(s));
    box->setEditText(list.empty() ? QString() : qs(list.front()));
}

} // namespace sheaf::ui
