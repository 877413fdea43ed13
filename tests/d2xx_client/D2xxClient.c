/* A D2XX program of the kind the simulated bench must run unchanged: it
 * knows only the public D2XX API (D2xxPublicApi.h), links -lftd2xx and finds
 * the bench's libftd2xx.so (FTD2XX.dll on Windows) as it would find the
 * vendor's driver. It counts the devices, opens them by index, drives a
 * 24C32 EEPROM over MPSSE I2C (a page write that wraps, the write cycle
 * polled, a read-back collected with FT_GetQueueStatus) and checks that an
 * FT2232D answers the high-speed commands as invalid. (The listing forms,
 * handles and queue calls one by one are checked in tests/sim.)
 *
 * Exit status 0 when every check holds; each failed check prints a line. */
#include <stdio.h>
#include <string.h>

#include "D2xxPublicApi.h"

/* MPSSE commands. */
enum {
    SET_BITS_LOW = 0x80,
    SET_CLOCK_DIVISOR = 0x86,
    SEND_IMMEDIATE = 0x87,
    DISABLE_CLOCK_DIVIDE_BY_5 = 0x8A,
    ENABLE_THREE_PHASE_CLOCKING = 0x8C,
    DISABLE_ADAPTIVE_CLOCKING = 0x97,
    DRIVE_ONLY_ZERO = 0x9E,
    BYTES_OUT_FALLING_MSB = 0x11,
    BITS_OUT_FALLING_MSB = 0x13,
    BYTES_IN_RISING_MSB = 0x20,
    BITS_IN_RISING_MSB = 0x22,
    BAD_COMMAND = 0xFA,
    FIRST_HIGH_SPEED_COMMAND = 0x8A,
    LAST_HIGH_SPEED_COMMAND = 0x97,
};
enum { BIT_MODE_RESET = 0x00, BIT_MODE_MPSSE = 0x02 };
/* I2C on ADBUS0 (SCL) and ADBUS1/ADBUS2 (SDA out and in); a 1 releases a line. */
enum { PINS_I2C = 0x03, SCL = 0x01, SDA = 0x02 };
/* The 24C32 at address 0x50: 4 KiB, 32-byte pages, two address bytes. */
enum { EEPROM_WRITE = 0xA0, EEPROM_READ = 0xA1, PAGE_SIZE = 32 };
/* 100 kHz with three-phase clocking: 60 MHz / (2 * (199 + 1)) * 2 / 3. */
enum { DIVISOR_100KHZ = 199 };
enum { ACK_POLL_LIMIT = 1000, QUEUE_POLL_LIMIT = 100 };

static int failures = 0;

static void check(int condition, const char* what) {
    if (!condition) {
        printf("d2xx client: FAILED: %s\n", what);
        ++failures;
    }
}

static void checkStatus(FT_STATUS status, const char* call) {
    if (status != FT_OK) {
        printf("d2xx client: FAILED: %s returned status %lu\n", call, (unsigned long)status);
        ++failures;
    }
}

/* A command list under construction. */
typedef struct {
    UCHAR bytes[1024];
    DWORD length;
} Commands;

static void put(Commands* list, UCHAR byte) {
    if (list->length < sizeof list->bytes) list->bytes[list->length++] = byte;
}

static void pins(Commands* list, UCHAR levels) {
    put(list, SET_BITS_LOW);
    put(list, levels);
    put(list, PINS_I2C);
}

static void i2cStart(Commands* list) {
    pins(list, SCL | SDA);
    pins(list, SCL); /* SDA falls while SCL is high */
    pins(list, 0);
}

static void i2cStop(Commands* list) {
    pins(list, 0);
    pins(list, SCL);
    pins(list, SCL | SDA); /* SDA rises while SCL is high */
}

/* One byte out and the acknowledge bit in: one reply byte, the bit in bit 0. */
static void i2cWriteByte(Commands* list, UCHAR byte) {
    put(list, BYTES_OUT_FALLING_MSB);
    put(list, 0);
    put(list, 0);
    put(list, byte);
    pins(list, SDA);
    put(list, BITS_IN_RISING_MSB);
    put(list, 0);
}

static void i2cReadByte(Commands* list, int acknowledge) {
    pins(list, SDA);
    put(list, BYTES_IN_RISING_MSB);
    put(list, 0);
    put(list, 0);
    put(list, BITS_OUT_FALLING_MSB);
    put(list, 0);
    put(list, acknowledge ? 0x00 : 0xFF);
    pins(list, SDA);
}

static void sendCommands(FT_HANDLE handle, Commands* list) {
    DWORD written = 0;
    put(list, SEND_IMMEDIATE);
    checkStatus(FT_Write(handle, list->bytes, list->length, &written), "FT_Write");
    check(written == list->length, "FT_Write takes the whole command list");
    list->length = 0;
}

/* Waits with FT_GetQueueStatus until `count` bytes are queued, then reads them. */
static void receiveReplies(FT_HANDLE handle, UCHAR* reply, DWORD count) {
    DWORD queued = 0;
    DWORD received = 0;
    for (int poll = 0; poll < QUEUE_POLL_LIMIT && queued < count; ++poll)
        checkStatus(FT_GetQueueStatus(handle, &queued), "FT_GetQueueStatus");
    check(queued == count, "the replies are queued");
    checkStatus(FT_Read(handle, reply, count, &received), "FT_Read");
    check(received == count, "FT_Read returns what was queued");
}

static void countDevices(void) {
    DWORD count = 0;
    checkStatus(FT_ListDevices(&count, NULL, FT_LIST_NUMBER_ONLY), "FT_ListDevices number");
    check(count == 2, "two devices are plugged in");
}

static FT_HANDLE openForMpsse(int index) {
    FT_HANDLE handle = NULL;
    checkStatus(FT_Open(index, &handle), "FT_Open");
    checkStatus(FT_ResetDevice(handle), "FT_ResetDevice");
    checkStatus(FT_SetUSBParameters(handle, 65536, 65536), "FT_SetUSBParameters");
    checkStatus(FT_SetChars(handle, 0, 0, 0, 0), "FT_SetChars");
    checkStatus(FT_SetTimeouts(handle, 1000, 1000), "FT_SetTimeouts");
    checkStatus(FT_SetLatencyTimer(handle, 2), "FT_SetLatencyTimer");
    checkStatus(FT_SetFlowControl(handle, FT_FLOW_RTS_CTS, 0, 0), "FT_SetFlowControl");
    checkStatus(FT_SetBitMode(handle, 0, BIT_MODE_RESET), "FT_SetBitMode reset");
    checkStatus(FT_SetBitMode(handle, 0, BIT_MODE_MPSSE), "FT_SetBitMode MPSSE");
    checkStatus(FT_Purge(handle, FT_PURGE_RX | FT_PURGE_TX), "FT_Purge");
    return handle;
}

static void setUpI2c(FT_HANDLE handle) {
    Commands list = {{0}, 0};
    put(&list, DISABLE_CLOCK_DIVIDE_BY_5);
    put(&list, DISABLE_ADAPTIVE_CLOCKING);
    put(&list, ENABLE_THREE_PHASE_CLOCKING);
    put(&list, SET_CLOCK_DIVISOR);
    put(&list, DIVISOR_100KHZ & 0xFF);
    put(&list, DIVISOR_100KHZ >> 8);
    put(&list, DRIVE_ONLY_ZERO);
    put(&list, PINS_I2C | 0x04);
    put(&list, 0);
    pins(&list, SCL | SDA);
    sendCommands(handle, &list);
}

/* Writes `count` bytes from memory address `at`; returns how many of the
 * address and data bytes were acknowledged. */
static int writeBytes(FT_HANDLE handle, unsigned at, const UCHAR* data, DWORD count) {
    Commands list = {{0}, 0};
    UCHAR acks[64];
    int acknowledged = 0;
    i2cStart(&list);
    i2cWriteByte(&list, EEPROM_WRITE);
    i2cWriteByte(&list, (UCHAR)(at >> 8)); /* high address byte first */
    i2cWriteByte(&list, (UCHAR)at);
    for (DWORD index = 0; index < count; ++index)
        i2cWriteByte(&list, data[index]);
    i2cStop(&list);
    sendCommands(handle, &list);
    receiveReplies(handle, acks, count + 3);
    for (DWORD index = 0; index < count + 3; ++index)
        acknowledged += (acks[index] & 1) == 0;
    return acknowledged;
}

/* The part acknowledges nothing until its write cycle ends: poll its
 * address. Returns the polls it did not answer. */
static int waitForWriteCycle(FT_HANDLE handle) {
    for (int poll = 0; poll < ACK_POLL_LIMIT; ++poll) {
        Commands list = {{0}, 0};
        UCHAR ack = 1;
        i2cStart(&list);
        i2cWriteByte(&list, EEPROM_WRITE);
        i2cStop(&list);
        sendCommands(handle, &list);
        receiveReplies(handle, &ack, 1);
        if ((ack & 1) == 0) return poll;
    }
    check(0, "the write cycle ends");
    return ACK_POLL_LIMIT;
}

/* A random read: the memory address, a repeated START, `count` bytes. */
static void readBytes(FT_HANDLE handle, unsigned at, UCHAR* data, DWORD count) {
    Commands list = {{0}, 0};
    UCHAR reply[64];
    i2cStart(&list);
    i2cWriteByte(&list, EEPROM_WRITE);
    i2cWriteByte(&list, (UCHAR)(at >> 8));
    i2cWriteByte(&list, (UCHAR)at);
    i2cStart(&list);
    i2cWriteByte(&list, EEPROM_READ);
    for (DWORD index = 0; index < count; ++index)
        i2cReadByte(&list, index + 1 < count);
    i2cStop(&list);
    sendCommands(handle, &list);
    receiveReplies(handle, reply, count + 4);
    check((reply[0] & 1) == 0 && (reply[3] & 1) == 0, "the read is acknowledged");
    memcpy(data, reply + 4, count);
}

static void eepromPageWriteWraps(FT_HANDLE handle) {
    /* Eight bytes from 4 bytes before the end of page 0: the last four wrap
     * to the start of the page, not into page 1. */
    const UCHAR data[8] = {'w', 'r', 'a', 'p', 'p', 'e', 'd', '!'};
    const unsigned at = PAGE_SIZE - 4;
    UCHAR pageEnd[8], pageStart[4];

    check(writeBytes(handle, at, data, sizeof data) == (int)sizeof data + 3,
          "every byte of the page write is acknowledged");
    check(waitForWriteCycle(handle) > 0, "the part is busy right after the write");
    readBytes(handle, at, pageEnd, sizeof pageEnd);
    check(memcmp(pageEnd, "wrap\xFF\xFF\xFF\xFF", 8) == 0,
          "the page's last four bytes, then page 1 untouched");
    readBytes(handle, 0, pageStart, sizeof pageStart);
    check(memcmp(pageStart, "ped!", 4) == 0, "the rest wrapped to the page's start");
    readBytes(handle, 0x0FFF, pageStart, 2);
    check(pageStart[0] == 0x5A && pageStart[1] == 'p', "a read wraps at the end of the memory");
}

static void olderChipRefusesHighSpeedCommands(FT_HANDLE handle) {
    Commands list = {{0}, 0};
    UCHAR reply[64];
    const DWORD commands = LAST_HIGH_SPEED_COMMAND - FIRST_HIGH_SPEED_COMMAND + 1;
    DWORD queued = 0, transmitting = 1, events = 1;
    int answered = 0;
    for (int opcode = FIRST_HIGH_SPEED_COMMAND; opcode <= LAST_HIGH_SPEED_COMMAND; ++opcode)
        put(&list, (UCHAR)opcode);
    sendCommands(handle, &list);
    checkStatus(FT_GetStatus(handle, &queued, &transmitting, &events), "FT_GetStatus");
    check(queued == 2 * commands && transmitting == 0, "FT_GetStatus counts the answers");
    receiveReplies(handle, reply, 2 * commands);
    for (DWORD index = 0; index < commands; ++index) {
        answered += reply[2 * index] == BAD_COMMAND &&
                    reply[2 * index + 1] == FIRST_HIGH_SPEED_COMMAND + index;
    }
    check(answered == (int)commands, "every high-speed command is answered FA and the command");
}

int main(void) {
    FT_HANDLE eeprom = NULL, older = NULL;

    countDevices();
    eeprom = openForMpsse(0);
    setUpI2c(eeprom);
    eepromPageWriteWraps(eeprom);
    checkStatus(FT_Close(eeprom), "FT_Close");

    older = openForMpsse(1);
    olderChipRefusesHighSpeedCommands(older);
    checkStatus(FT_Close(older), "FT_Close");

    if (failures == 0) printf("d2xx client: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
