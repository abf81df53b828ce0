#include "link/status_block.h"

InfoStore Info;
