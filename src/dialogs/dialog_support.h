#pragma once
// Small widget pieces the settings dialogs share: button groups whose ids are stored values,
// and the 0/1 flags whose stored value, not the box, decides what the box shows.

#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QObject;

namespace dialogs {

// An exclusive group parented to `owner`, each button with its id.
QButtonGroup* makeGroup(QObject* owner,
                        std::initializer_list<std::pair<QAbstractButton*, int>> buttons);
// Checks the button with `id`; an id without a button leaves the group as it is.
void checkId(QButtonGroup* group, int id);
// Clears the box and fills it with `items`.
void fillCombo(QComboBox* box, const QStringList& items);

// Flips a stored 0/1 flag and shows the new value in `box`: the flag decides, not the box.
void flipFlag(int32_t& flag, QAbstractButton* box);

} // namespace dialogs
