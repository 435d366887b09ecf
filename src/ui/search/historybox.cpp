#include "search/historybox.h"

#include "common/inifile.h"
#include "common/qtext.h"
#include "search/history.h"

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

void saveSearchAndReplace(const std::string& iniPath, const QComboBox* search, const std::string& searchSection,
                          const QComboBox* replace, const std::string& replaceSection, std::size_t cap)
{
    std::vector<std::string> searches = historyOf(search);
    std::vector<std::string> replaces = historyOf(replace);
    search::addToHistory(searches, sj(search->currentText()));
    const std::string replaceText = sj(replace->currentText());
    if (!replaceText.empty())
        search::addToHistory(replaces, replaceText);
    const IniFile ini(iniPath);
    search::writeHistory(ini, searchSection, searches, cap);
    search::writeHistory(ini, replaceSection, replaces, cap);
}

} // namespace sheaf::ui
