#pragma once
// The stored value behind each list item and button id of the settings dialogs. Plain
// tables and lookups, so that tests reach them without widgets.

#include <QStringList>
#include <QVector>

#include <optional>

namespace dialogs {

// A combo box list: the item texts and the value each item stores.
struct ValueList {
    QStringList texts;
    QVector<int> values;

    // The value of item index; nothing for an index outside the list (-1: empty box).
    std::optional<int> valueAt(int index) const;
    int valueAt(int index, int fallback) const;
    // Index of the first item that stores value, else fallback.
    int indexOf(int value, int fallback = -1) const;
    int size() const { return values.size(); }
};

const QStringList& languageNames(); // "中文", "English"; the index is the language

const ValueList& testSizePresets();              // "100M" .. "8G", kilobytes
const ValueList& copyBlockSizes();               // "4KB" .. "4MB", bytes
const ValueList& copyTimeCounts();               // "3" .. "30", seconds
const ValueList& burninTestPercents();           // "1%" .. "10%", "15%" .. "100%"
const ValueList& burninWriteSpeeds(int variant); // MB/s; variant 0 tops at 120, others 550
const ValueList& burninReadSpeeds();             // "0" .. "160MB/s"
const ValueList& testerWriteSpeeds();            // "0", "5MB/s" .. "9MB/s", "10MB/s" .. "320MB/s"
const ValueList& testerReadSpeeds();             // "0", "10MB/s" .. "320MB/s"

// Preset test size for the index of the preset list: index 0 and any index outside the
// list give the first preset.
int testSizeRegForIndex(int index);
// The copy block for a list index; anything outside the list gives 2 MiB.
int copyBlockForIndex(int index);
// The countdown for a list index; the last item and anything outside give 30 s.
int copyTimeCountForIndex(int index);
// Indexes shown for stored values that may match no item.
int testSizeRegIndex(int kilobytes); // else 0
int copyBlockIndex(int bytes);       // else the 2 MiB item
int copyTimeCountIndex(int seconds); // else the "30" item

// Button groups whose ids stand for stored values. forId gives nothing for an id that is
// not in the group (-1: no button checked); idFor gives -1 when no button stands for value.
struct IdTable {
    QVector<int> ids;
    QVector<int> values;
    std::optional<int> forId(int id) const;
    int idFor(int value) const;
};

constexpr int kTestBlockAutoId = 6;
const IdTable& testBlockIds();   // 0 4K, 1 64K, 5 2M, 6 automatic (0)
const IdTable& burninBlockIds(); // 0..6: 4K, 64K, 128K, 256K, 1M, 2M, 4M
const IdTable& copyCapIds();     // 0..6: 0, 5, 10, 15, 20, 30, -1 (percent)

} // namespace dialogs
