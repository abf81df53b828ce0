#pragma once
// What the panel says to the engine board over the control connection, and what it does
// with what the board says.

#include <atomic>
#include <cstdint>

class DataServer;
extern DataServer* mDataServer;

// 1 until a status block set the clock. It belongs to the link thread; it is atomic only so
// that tests may reset it.
extern std::atomic<int> firstRecv;

// Whole status blocks taken into Info, and blocks dropped because a newer one came with them
// in one read; the panel reports both when it ends (soak runs account for them).
extern std::atomic<uint64_t> statusBlocksTaken;
extern std::atomic<uint64_t> statusBlocksDropped;

// Connect callback of the link server: sends the settings message to the board and closes
// the start dialog (on the GUI thread). Returns the send's result, -1 without a server.
int server_connect_callback(int board);
// Receive callback: the newest status block of a delivery into Info; the first one with a
// plausible time sets the clock. Returns 0.
int server_receive_callback(void* data, int length, int board);

int sendSetting();
int sendCmd(int command);
int sendCmdWithPara(int command, int parameter);
// 0, or -1 when the command did not go out whole.
int sendExportLogCmd();
// Always 0; a failed send is only logged.
int sendMasterClearCmd();

// What SIGUSR1 and SIGUSR2 do: the power-on or power-off notice (command 10 or 9).
void sendPowerNotice(int sig);
