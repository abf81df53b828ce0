#include "dialogs/dialog_support.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>

namespace dialogs {

QButtonGroup* makeGroup(QObject* owner,
                        std::initializer_list<std::pair<QAbstractButton*, int>> buttons) {
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    for (const auto& entry : buttons)
        group->addButton(entry.first, entry.second);
    return group;
}

void checkId(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
}

void fillCombo(QComboBox* box, const QStringList& items) {
    box->clear();
    box->addItems(items);
}

void flipFlag(int32_t& flag, QAbstractButton* box) {
    flag = flag != 0 ? 0 : 1;
    box->setChecked(flag != 0);
}

} // namespace dialogs
