#include "hardware/hardware.h"

#include "base/log_file.h"
#include "platform/platform.h"

#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
size_t pageSize() {
    const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? size_t(size) : 4096;
}

bool validPin(PORT port, unsigned pin) {
    return unsigned(port) < kPortsMapped && pin < kPinsPerPort;
}
} // namespace

size_t pioMapOffset(size_t page) {
    return kPioBase & ~(page - 1);
}

size_t pioFileSizeNeeded(size_t page) {
    return pioMapOffset(page) + 2 * page;
}

Hardware* Hardware::getInstance() {
    // Mapped once the platform (and with it the root of the register file) is chosen, and
    // never unmapped: every thread may use it until the process ends.
    static Hardware* sInstance =
        new Hardware(h2::platform().prepareRegisterFile(pioFileSizeNeeded(pageSize())));
    return sInstance;
}

Hardware::Hardware() = default;

Hardware::Hardware(const std::string& memPath) {
    const int fd = ::open(memPath.c_str(), O_RDWR | O_SYNC | O_CLOEXEC);
    if (fd < 0) {
        consolePrintf("open error\r");
        return;
    }
    const size_t page = pageSize();
    consolePrintf("PageSize:%d,PageMask:%.8X\r\n", int(page), unsigned(~(page - 1)));
    const size_t offset = pioMapOffset(page);
    const size_t length = 2 * page;
    // A register file that is too short would fault on first access instead of failing here.
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && size_t(st.st_size) < offset + length) {
        ::close(fd);
        return;
    }
    void* map = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(offset));
    ::close(fd);
    if (map == MAP_FAILED)
        return;
    mMap = map;
    mMapLength = length;
    mRegisters =
        reinterpret_cast<volatile uint32_t*>(static_cast<char*>(map) + (kPioBase - offset));
}

Hardware::~Hardware() {
    if (mMap)
        munmap(mMap, mMapLength);
}

volatile uint32_t* Hardware::registerAt(PORT port, unsigned reg) const {
    return mRegisters + size_t(port) * kPortRegisters + reg;
}

void Hardware::GPIO_ConfigPin(PORT port, unsigned int pin, PIN_MODE mode) {
    if (!mRegisters || !validPin(port, pin))
        return;
    std::lock_guard<std::mutex> lock(mMutex);
    volatile uint32_t* reg = registerAt(port, pin / 8);
    const unsigned shift = (pin % 8) * 4;
    uint32_t value = *reg;
    value &= ~(uint32_t(0x7) << shift);
    value |= (uint32_t(mode) & 0x7) << shift;
    *reg = value;
}

void Hardware::GPIO_SetPin(PORT port, unsigned int pin, unsigned int value) {
    if (!mRegisters) {
        consolePrintf("gpio_map == NULL\n");
        return;
    }
    if (!validPin(port, pin))
        return;
    std::lock_guard<std::mutex> lock(mMutex);
    volatile uint32_t* reg = registerAt(port, kDataRegister);
    if (value)
        *reg = *reg | (uint32_t(1) << pin);
    else
        *reg = *reg & ~(uint32_t(1) << pin);
}

unsigned int Hardware::GPIO_GetPin(PORT port, unsigned int pin) {
    if (!mRegisters || !validPin(port, pin))
        return 0;
    std::lock_guard<std::mutex> lock(mMutex);
    return (*registerAt(port, kDataRegister) >> pin) & 1u;
}

void Hardware::GPIO_ConfigPinPL(unsigned int pin) {
    const std::string number = std::to_string(pin + kPlGpioBase);
    h2::platform().writeSysfs("/sys/class/gpio/export", number + "\n");
    h2::platform().writeSysfs("/sys/class/gpio/gpio" + number + "/direction", "out\n");
}

void Hardware::GPIO_SetPinPL(unsigned int pin, unsigned int value) {
    const unsigned gpio = pin + kPlGpioBase;
    char cmd[96];
    snprintf(cmd, sizeof(cmd), "echo %u >/sys/class/gpio/gpio%u/value", value, gpio);
    consolePrintf("cmd=%s\n", cmd);
    h2::platform().writeSysfs("/sys/class/gpio/gpio" + std::to_string(gpio) + "/value",
                              std::to_string(value) + "\n");
}
