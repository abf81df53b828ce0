#include "dialogs/setting_values.h"

namespace dialogs {

namespace {

ValueList makeList(const QStringList& texts, const QVector<int>& values) {
    Q_ASSERT(texts.size() == values.size());
    return ValueList{texts, values};
}

// "0", then one "<n>MB/s" item per value.
ValueList speedList(const QVector<int>& speeds) {
    ValueList list;
    for (int mbs : speeds) {
        list.texts << (mbs == 0 ? QStringLiteral("0") : QStringLiteral("%1MB/s").arg(mbs));
        list.values << mbs;
    }
    return list;
}

QVector<int> steps(int from, int to, int step) {
    QVector<int> v;
    for (int x = from; x <= to; x += step)
        v << x;
    return v;
}

} // namespace

std::optional<int> ValueList::valueAt(int index) const {
    if (index < 0 || index >= values.size())
        return std::nullopt;
    return values[index];
}

int ValueList::valueAt(int index, int fallback) const {
    return valueAt(index).value_or(fallback);
}

int ValueList::indexOf(int value, int fallback) const {
    const int i = values.indexOf(value);
    return i < 0 ? fallback : i;
}

std::optional<int> IdTable::forId(int id) const {
    const int i = ids.indexOf(id);
    if (i < 0)
        return std::nullopt;
    return values[i];
}

int IdTable::idFor(int value) const {
    const int i = values.indexOf(value);
    return i < 0 ? -1 : ids[i];
}

const QStringList& languageNames() {
    static const QStringList names{QStringLiteral("中文"), QStringLiteral("English")};
    return names;
}

const ValueList& testSizePresets() {
    static const ValueList list =
        makeList({"100M", "200M", "300M", "500M", "800M", "1G", "2G", "4G", "8G"},
                 {102400, 204800, 307200, 512000, 819200, 1048576, 2097152, 4194304, 8388608});
    return list;
}

const ValueList& copyBlockSizes() {
    static const ValueList list =
        makeList({"4KB", "64KB", "256KB", "512KB", "1MB", "2MB", "4MB"},
                 {4096, 65536, 262144, 524288, 1048576, 2097152, 4194304});
    return list;
}

const ValueList& copyTimeCounts() {
    static const ValueList list =
        makeList({"3", "5", "10", "15", "20", "25", "30"}, {3, 5, 10, 15, 20, 25, 30});
    return list;
}

const ValueList& burninTestPercents() {
    static const ValueList list = [] {
        ValueList l;
        l.values = steps(1, 10, 1) + steps(15, 100, 5);
        for (int p : l.values)
            l.texts << QStringLiteral("%1%").arg(p);
        return l;
    }();
    return list;
}

const ValueList& burninWriteSpeeds(int variant) {
    static const ValueList basic = speedList(QVector<int>{0} + steps(5, 9, 1) + steps(10, 120, 10));
    static const ValueList fast = speedList(steps(0, 200, 10) + steps(250, 550, 50));
    return variant != 0 ? fast : basic;
}

const ValueList& burninReadSpeeds() {
    static const ValueList list = speedList(steps(0, 160, 10));
    return list;
}

const ValueList& testerWriteSpeeds() {
    static const ValueList list = speedList(QVector<int>{0} + steps(5, 9, 1) + steps(10, 320, 10));
    return list;
}

const ValueList& testerReadSpeeds() {
    static const ValueList list = speedList(steps(0, 320, 10));
    return list;
}

int testSizeRegForIndex(int index) {
    return testSizePresets().valueAt(index, testSizePresets().values.first());
}

int copyBlockForIndex(int index) {
    return copyBlockSizes().valueAt(index, 2097152);
}

int copyTimeCountForIndex(int index) {
    return copyTimeCounts().valueAt(index, 30);
}

int testSizeRegIndex(int kilobytes) {
    return testSizePresets().indexOf(kilobytes, 0);
}

int copyBlockIndex(int bytes) {
    return copyBlockSizes().indexOf(bytes, copyBlockSizes().indexOf(2097152));
}

int copyTimeCountIndex(int seconds) {
    return copyTimeCounts().indexOf(seconds, copyTimeCounts().size() - 1);
}

const IdTable& testBlockIds() {
    static const IdTable table{{0, 1, 5, kTestBlockAutoId}, {4096, 65536, 2097152, 0}};
    return table;
}

const IdTable& burninBlockIds() {
    static const IdTable table{{0, 1, 2, 3, 4, 5, 6},
                               {4096, 65536, 131072, 262144, 1048576, 2097152, 4194304}};
    return table;
}

const IdTable& copyCapIds() {
    static const IdTable table{{0, 1, 2, 3, 4, 5, 6}, {0, 5, 10, 15, 20, 30, -1}};
    return table;
}

} // namespace dialogs
