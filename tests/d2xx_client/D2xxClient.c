/* A D2XX program of the kind the simulated bench must run unchanged: it
 * knows only the public D2XX API (D2xxPublicApi.h), links -lftd2xx and finds
 * the bench's libftd2xx.so (FTD2XX.dll on Windows) as it would find the
 * vendor's driver. It counts the devices, opens the second by index with the
 * usual set-up calls, and checks that an FT2232D answers the high-speed MPSSE
 * commands as invalid, collecting the answers with FT_GetStatus and
 * FT_GetQueueStatus. (The listing forms, handles and queue calls one by one
 * are checked in tests/sim, the I2C bus and its EEPROMs in tests/sim_i2c.)
 *
 * Exit status 0 when every check holds; each failed check prints a line. */
#include <stdio.h>

#include "D2xxPublicApi.h"

enum {
    SEND_IMMEDIATE = 0x87,
    BAD_COMMAND = 0xFA,
    FIRST_HIGH_SPEED_COMMAND = 0x8A,
    LAST_HIGH_SPEED_COMMAND = 0x97,
};
enum { BIT_MODE_RESET = 0x00, BIT_MODE_MPSSE = 0x02 };
enum { QUEUE_POLL_LIMIT = 100 };

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

static void olderChipRefusesHighSpeedCommands(FT_HANDLE handle) {
    enum { COMMANDS = LAST_HIGH_SPEED_COMMAND - FIRST_HIGH_SPEED_COMMAND + 1 };
    UCHAR commands[COMMANDS + 1], reply[2 * COMMANDS];
    DWORD written = 0, received = 0, queued = 0, transmitting = 1, events = 1;
    int answered = 0;
    for (int index = 0; index < COMMANDS; ++index)
        commands[index] = (UCHAR)(FIRST_HIGH_SPEED_COMMAND + index);
    commands[COMMANDS] = SEND_IMMEDIATE;
    checkStatus(FT_Write(handle, commands, sizeof commands, &written), "FT_Write");
    check(written == sizeof commands, "FT_Write takes the whole command list");
    checkStatus(FT_GetStatus(handle, &queued, &transmitting, &events), "FT_GetStatus");
    check(queued == 2 * COMMANDS && transmitting == 0, "FT_GetStatus counts the answers");
    queued = 0;
    for (int poll = 0; poll < QUEUE_POLL_LIMIT && queued < sizeof reply; ++poll)
        checkStatus(FT_GetQueueStatus(handle, &queued), "FT_GetQueueStatus");
    check(queued == sizeof reply, "the answers are queued");
    checkStatus(FT_Read(handle, reply, sizeof reply, &received), "FT_Read");
    check(received == sizeof reply, "FT_Read returns what was queued");
    for (int index = 0; index < COMMANDS; ++index) {
        answered += reply[2 * index] == BAD_COMMAND &&
                    reply[2 * index + 1] == FIRST_HIGH_SPEED_COMMAND + index;
    }
    check(answered == COMMANDS, "every high-speed command is answered FA and the command");
}

int main(void) {
    DWORD count = 0;
    FT_HANDLE older = NULL;

    checkStatus(FT_ListDevices(&count, NULL, FT_LIST_NUMBER_ONLY), "FT_ListDevices number");
    check(count == 2, "two devices are plugged in");

    older = openForMpsse(1);
    olderChipRefusesHighSpeedCommands(older);
    checkStatus(FT_Close(older), "FT_Close");

    if (failures == 0) printf("d2xx client: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
