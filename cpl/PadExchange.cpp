#include "PadAccess.h"

HANDLE PadHandle = nullptr;

void ClosePadHandle()
{
    if (!PadHandle)
        return;
    CurrentPadTransport().Close(PadHandle);
    PadHandle = nullptr;
}

BOOL WritePadReport(HANDLE hPad, const PadCommandReport& report)
{
    if (!hPad) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD cbWritten = 0;
    if (!CurrentPadTransport().Write(hPad, report.data(), kPadCommandReportSize, &cbWritten))
        return FALSE;
    if (cbWritten != kPadCommandReportSize) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL GetFeatureReport(HANDLE hPad, void* pBuffer, ULONG cb)
{
    if (!hPad || !pBuffer) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CurrentPadTransport().GetFeature(hPad, static_cast<BYTE*>(pBuffer), cb);
}

BOOL QueryKeySlot(HANDLE hPad, BYTE bSlot, KeySlotReply* pReply)
{
    *pReply = EncodeQuerySlotReport(bSlot);
    if (!WritePadReport(hPad, *pReply))
        return FALSE;
    (*pReply)[1] = 0;  // only the pad's own reply may set the command byte
    if (!GetFeatureReport(hPad, pReply->data(), kPadCommandReportSize))
        return FALSE;
    return IsValidKeySlotReply(*pReply, bSlot) ? TRUE : FALSE;
}

BOOL ReadPadInputReport(HANDLE hPad, PadInputReport* pReport, DWORD* pcbRead)
{
    *pReport = MakePadInputBuffer();
    *pcbRead = 0;
    if (!hPad) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CurrentPadTransport().ReadInput(hPad, pReport->data(), kPadInputReportSize, pcbRead,
                                           kPadInputWaitMs);
}
