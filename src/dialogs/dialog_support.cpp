#include "dialogs/dialog_support.h"

#include "base/log_file.h"
#include "dialogs/setting_values.h"
#include "settings/setting_record.h"

#include <QComboBox>

namespace dialogs {

namespace {

// Fills `box` with `list` and shows `field` (the first item when the list lacks it); from then
// on each pick is stored into `field` and printed under `name`.
void bindList(QComboBox* box, const ValueList& list, int32_t& field, const char* name) {
    fillCombo(box, list.texts);
    QObject::connect(box, qOverload<int>(&QComboBox::currentIndexChanged), box,
                     [box, &list, &field, name] {
                         if (auto value = list.valueAt(box->currentIndex()))
                             field = *value;
                         consolePrintf("%s %d\n", name, field);
                     });
    box->setCurrentIndex(list.indexOf(field, 0));
}

} // namespace

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

void storeCheckedId(int32_t& field, const QButtonGroup* group) {
    const int id = group->checkedId();
    if (id >= 0)
        field = id;
}

int checkedIdOr(const QButtonGroup* group, int none) {
    const int id = group->checkedId();
    return id >= 0 ? id : none;
}

void fillCombo(QComboBox* box, const QStringList& items) {
    box->clear();
    box->addItems(items);
}

void flipFlag(int32_t& flag, QAbstractButton* box) {
    flag = flag != 0 ? 0 : 1;
    box->setChecked(flag != 0);
}

void showLanguages(QComboBox* box, int language) {
    fillCombo(box, languageNames());
    box->setCurrentIndex(language != 0 ? 1 : 0);
}

void bindTesterSpeeds(QComboBox* write, QComboBox* read, SettingRecord& work) {
    bindList(write, testerWriteSpeeds(), work.write_speed, "speed");
    bindList(read, testerReadSpeeds(), work.read_speed, "readspeed");
}

} // namespace dialogs
