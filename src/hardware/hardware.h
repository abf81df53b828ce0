#pragma once
// Direct access to the general-purpose pins of the Allwinner SoC: ports PA to PG through the
// memory-mapped PIO register block, port PL through sysfs GPIO.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

enum PORT { PA = 0, PB = 1, PC = 2, PD = 3, PE = 4, PF = 5, PG = 6 };
enum PIN_MODE { PIN_INPUT = 0, PIN_OUTPUT = 1 };

// One pin of ports PA to PG, as the pin tables of the lamp and power threads name them.
struct GpioPin {
    PORT port;
    unsigned pin;
};

// The pin operations the start-up straps, the lamp thread and the power thread use; tests
// put a recording double in place of the hardware.
class Gpio {
public:
    virtual ~Gpio() = default;
    // Sets the pin's function code; the other pins of the register keep theirs.
    virtual void GPIO_ConfigPin(PORT port, unsigned int pin, PIN_MODE mode) = 0;
    // Drives the pin high (value non-zero) or low.
    virtual void GPIO_SetPin(PORT port, unsigned int pin, unsigned int value) = 0;
    // 1 when the pin's data bit is set, else 0.
    virtual unsigned int GPIO_GetPin(PORT port, unsigned int pin) = 0;
    // Makes PL pin `pin` an output through sysfs.
    virtual void GPIO_ConfigPinPL(unsigned int pin) = 0;
    // Drives PL pin `pin` through sysfs.
    virtual void GPIO_SetPinPL(unsigned int pin, unsigned int value) = 0;

    void configPin(GpioPin p, PIN_MODE mode) { GPIO_ConfigPin(p.port, p.pin, mode); }
    void setPin(GpioPin p, unsigned int value) { GPIO_SetPin(p.port, p.pin, value); }
    unsigned int getPin(GpioPin p) { return GPIO_GetPin(p.port, p.pin); }
};

// The PIO block: physical base, nine 32-bit registers per port (four configuration
// registers with 4 bits per pin, then the data register).
constexpr uint32_t kPioBase = 0x01C20800;
constexpr unsigned kPortRegisters = 9;
constexpr unsigned kDataRegister = 4;
constexpr unsigned kPortsMapped = 7; // PA..PG
constexpr unsigned kPinsPerPort = 32;
// Kernel GPIO number of PL pin 0.
constexpr unsigned kPlGpioBase = 352;

// Byte offset of a register from the start of the PIO block.
constexpr size_t pioRegisterOffset(PORT port, unsigned reg) {
    return (size_t(port) * kPortRegisters + reg) * 4;
}
// The file offset and length that must be mapped (and exist) for a page size.
size_t pioMapOffset(size_t pageSize);
size_t pioFileSizeNeeded(size_t pageSize);

class Hardware final : public Gpio {
public:
    // The process-wide instance, mapped on first use from the platform's register file.
    static Hardware* getInstance();

    // Maps the register file at `memPath`; stays unmapped when that fails.
    explicit Hardware(const std::string& memPath);
    // An unmapped instance: writes are ignored, reads give 0.
    Hardware();
    ~Hardware() override;
    Hardware(const Hardware&) = delete;
    Hardware& operator=(const Hardware&) = delete;

    bool mapped() const { return mRegisters != nullptr; }

    void GPIO_ConfigPin(PORT port, unsigned int pin, PIN_MODE mode) override;
    void GPIO_SetPin(PORT port, unsigned int pin, unsigned int value) override;
    unsigned int GPIO_GetPin(PORT port, unsigned int pin) override;
    void GPIO_ConfigPinPL(unsigned int pin) override;
    void GPIO_SetPinPL(unsigned int pin, unsigned int value) override;

private:
    volatile uint32_t* registerAt(PORT port, unsigned reg) const;

    volatile uint32_t* mRegisters = nullptr; // the PIO block inside the mapping
    void* mMap = nullptr;
    size_t mMapLength = 0;
    // The start-up, lamp and power threads share registers (all of PD, for one): without
    // this, two read-modify-writes at once lose one of the changes.
    std::mutex mMutex;
};
