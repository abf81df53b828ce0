#pragma once
// Small widget pieces the settings dialogs share: button groups whose ids are stored values,
// the 0/1 flags whose stored value, not the box, decides what the box shows, and the lists
// several dialogs show alike.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <utility>

class QComboBox;
struct SettingRecord;

namespace dialogs {

// An exclusive group parented to `owner`, each button with its id.
QButtonGroup* makeGroup(QObject* owner,
                        std::initializer_list<std::pair<QAbstractButton*, int>> buttons);
// Checks the button with `id`; an id without a button leaves the group as it is.
void checkId(QButtonGroup* group, int id);
// Stores the id of the checked button; nothing when none is checked.
void storeCheckedId(int32_t& field, const QButtonGroup* group);
// The id of the checked button, or `none` when no button is checked.
int checkedIdOr(const QButtonGroup* group, int none);
// Connects a click on any button of `group`, the checked one included, to `slot`.
template <typename Receiver>
void connectButtons(QButtonGroup* group, Receiver* receiver, void (Receiver::*slot)()) {
    for (QAbstractButton* button : group->buttons())
        QObject::connect(button, &QAbstractButton::clicked, receiver, slot);
}
// Clears the box and fills it with `items`.
void fillCombo(QComboBox* box, const QStringList& items);

// Flips a stored 0/1 flag and shows the new value in `box`: the flag decides, not the box.
void flipFlag(int32_t& flag, QAbstractButton* box);

// Fills `box` with the language names and shows `language`: any but 0 is English.
void showLanguages(QComboBox* box, int language);
// The tester's write and read speed lists: filled, turned to the speeds of `work` (the first
// item for a speed they do not list) and from then on storing each pick into `work`.
void bindTesterSpeeds(QComboBox* write, QComboBox* read, SettingRecord& work);

} // namespace dialogs
