#pragma once

// The panel's process: start-up in its fixed order, then the event loop.
int runPanel(int argc, char** argv);
