#include "app/window_choice.h"

namespace h2 {

bool isTesterModeOnCopier(int machineType, int machineVariant, int mode) {
    const unsigned m = unsigned(mode);
    const bool earlyVariant = machineType == 2 && unsigned(machineVariant) < 2;
    if (m <= 2 || m == 11)
        return true;
    return m == 10 && !earlyVariant;
}

WindowChoice chooseMainWindow(int machineType, int machineVariant, int mode) {
    WindowChoice c;
    const unsigned variant = unsigned(machineVariant);
    if (machineType == 0) {
        c.createBurnin = variant == 0 || variant == 2 || variant == 3 || variant == 4;
        c.shown = (mode == 7 && c.createBurnin) ? MainKind::Burnin : MainKind::Tester;
        c.show = ShowAs::Maximized;
        return c;
    }
    c.createCopier = true;
    c.ssd = machineType == 2 && variant >= 2;
    const bool tester = isTesterModeOnCopier(machineType, machineVariant, mode);
    c.shown = tester ? MainKind::Tester : MainKind::Copier;
    if (tester)
        c.show = ShowAs::Maximized;
    else if (machineType == 2 && variant < 2)
        c.show = ShowAs::Maximized;
    else
        c.show = ShowAs::FullScreen;
    return c;
}

} // namespace h2
