#include "dialogs/dialog_commands.h"

#include "link/dataserver.h"
#include "link/engine_messages.h"

namespace {
bool engineBoardConnected() {
    DataServer* server = mDataServer;
    return server && server->connected(1);
}
} // namespace

DialogCommands& dialogCommands() {
    static DialogCommands commands{&sendMasterClearCmd, &sendExportLogCmd, &engineBoardConnected};
    return commands;
}
