#pragma once
// The engine commands the settings dialogs send. They go through this table so that tests
// can count them without an engine board.

struct DialogCommands {
    int (*masterClear)(); // sendMasterClearCmd by default
    int (*exportLog)();   // sendExportLogCmd by default
};

DialogCommands& dialogCommands();
