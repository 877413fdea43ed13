/* The few D2XX declarations this client needs, written from the vendor's
 * published programmer's guide: its types, status codes, flags and function
 * signatures. The client sees nothing else of the driver it runs on. */
#ifndef D2XX_PUBLIC_API_H
#define D2XX_PUBLIC_API_H

#ifdef _WIN32
#include <windows.h>
#define FT_CALL WINAPI
#else
typedef unsigned int DWORD;
typedef unsigned int ULONG;
typedef unsigned short USHORT;
typedef unsigned char UCHAR;
typedef void* PVOID;
typedef DWORD* LPDWORD;
typedef UCHAR* PUCHAR;
typedef void* LPVOID;
#define FT_CALL
#endif

typedef PVOID FT_HANDLE;
typedef ULONG FT_STATUS;

enum { FT_OK = 0 };

#define FT_LIST_NUMBER_ONLY 0x80000000

#define FT_PURGE_RX 1
#define FT_PURGE_TX 2

#define FT_FLOW_RTS_CTS 0x0100

#ifdef __cplusplus
extern "C" {
#endif

FT_STATUS FT_CALL FT_ListDevices(PVOID pArg1, PVOID pArg2, DWORD Flags);
FT_STATUS FT_CALL FT_Open(int deviceNumber, FT_HANDLE* pHandle);
FT_STATUS FT_CALL FT_Close(FT_HANDLE ftHandle);
FT_STATUS FT_CALL FT_ResetDevice(FT_HANDLE ftHandle);
FT_STATUS FT_CALL FT_SetUSBParameters(FT_HANDLE ftHandle, ULONG ulInTransferSize,
                                      ULONG ulOutTransferSize);
FT_STATUS FT_CALL FT_SetChars(FT_HANDLE ftHandle, UCHAR EventChar, UCHAR EventCharEnabled,
                              UCHAR ErrorChar, UCHAR ErrorCharEnabled);
FT_STATUS FT_CALL FT_SetTimeouts(FT_HANDLE ftHandle, ULONG ReadTimeout, ULONG WriteTimeout);
FT_STATUS FT_CALL FT_SetLatencyTimer(FT_HANDLE ftHandle, UCHAR ucLatency);
FT_STATUS FT_CALL FT_SetFlowControl(FT_HANDLE ftHandle, USHORT FlowControl, UCHAR XonChar,
                                    UCHAR XoffChar);
FT_STATUS FT_CALL FT_SetBitMode(FT_HANDLE ftHandle, UCHAR ucMask, UCHAR ucEnable);
FT_STATUS FT_CALL FT_Purge(FT_HANDLE ftHandle, ULONG Mask);
FT_STATUS FT_CALL FT_Write(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToWrite,
                           LPDWORD lpBytesWritten);
FT_STATUS FT_CALL FT_Read(FT_HANDLE ftHandle, LPVOID lpBuffer, DWORD dwBytesToRead,
                          LPDWORD lpBytesReturned);
FT_STATUS FT_CALL FT_GetQueueStatus(FT_HANDLE ftHandle, DWORD* dwRxBytes);
FT_STATUS FT_CALL FT_GetStatus(FT_HANDLE ftHandle, DWORD* dwRxBytes, DWORD* dwTxBytes,
                               DWORD* dwEventDWord);

#ifdef __cplusplus
}
#endif

#endif
