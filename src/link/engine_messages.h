#pragma once
// What the panel says to the engine board over the control connection, and what it does
// with what the board says.

#include <cstdint>

class DataServer;
extern DataServer* mDataServer;

// Connect callback of the link server: sends the settings message to the board.
int server_connect_callback(int board);
// Receive callback: status blocks into Info; the first one sets the clock.
int server_receive_callback(void* data, int length, int board);

int sendSetting();
int sendCmd(int command);
int sendCmdWithPara(int command, int parameter);
int sendExportLogCmd();
int sendMasterClearCmd();
