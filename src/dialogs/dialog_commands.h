#pragma once
// The engine commands the settings dialogs send, and the link state the log export watches.
// They go through this table so that tests can count them without an engine board.

struct DialogCommands {
    int (*masterClear)();     // sendMasterClearCmd by default
    int (*exportLog)();       // sendExportLogCmd by default
    bool (*boardConnected)(); // the engine board's control connection is open
};

DialogCommands& dialogCommands();
