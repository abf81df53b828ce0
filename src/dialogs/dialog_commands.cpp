#include "dialogs/dialog_commands.h"

#include "link/engine_messages.h"

DialogCommands& dialogCommands() {
    static DialogCommands commands{&sendMasterClearCmd, &sendExportLogCmd};
    return commands;
}
