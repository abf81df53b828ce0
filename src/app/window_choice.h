#pragma once
// Which main windows start-up creates, which one it shows and how.

namespace h2 {

enum class MainKind { Tester, Copier, Burnin };
enum class ShowAs { Maximized, FullScreen };

struct WindowChoice {
    bool createCopier = false;
    bool createBurnin = false; // the tester window is always created
    MainKind shown = MainKind::Tester;
    ShowAs show = ShowAs::Maximized;
    bool ssd = false; // copier type 2 with variant 2 or more
};

// Modes and variants are compared as unsigned: negative values count as large.
WindowChoice chooseMainWindow(int machineType, int machineVariant, int mode);

// Tester modes that every copier shows in the tester window (0 to 2 and 11), plus 10 where
// the copier is not of the early variants.
bool isTesterModeOnCopier(int machineType, int machineVariant, int mode);

} // namespace h2
