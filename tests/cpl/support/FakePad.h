#pragma once

// A pad without hardware: installed as the HID transport for its lifetime. It holds 24 slots
// of 4 key codes and the mode byte of its input report, answers queries like the pad, logs
// every report and can be told to misbehave.
#include "PadAccess.h"

#include <mutex>
#include <string>
#include <vector>

class FakePad final : public PadTransport {
public:
    enum class Op { Open, Write, GetFeature, ReadInput, Close };
    struct Entry {
        Op op;
        std::vector<BYTE> bytes;  // what was written, or what was handed back
        BOOL ok;
    };

    // The handle the fake hands out while plugged in.
    static HANDLE const kHandle;

    FakePad();   // installs itself as the transport
    ~FakePad();  // restores the previous transport

    FakePad(const FakePad&) = delete;
    FakePad& operator=(const FakePad&) = delete;

    // State of the pad.
    void SetKeys(int nSlot, BYTE k1, BYTE k2 = 0, BYTE k3 = 0, BYTE k4 = 0);
    std::vector<BYTE> Keys(int nSlot) const;  // the four codes of slot 1..24
    void SetModeByte(BYTE bModeByte);          // byte 11 of the input report
    BYTE LastMotor1() const;
    BYTE LastMotor2() const;

    // Misbehaviour.
    void SetFailWrites(bool fFail);          // every write fails
    void SetFailFeatureReads(bool fFail);    // every feature read fails
    void SetWrongReplyCommand(bool fWrong);  // replies carry 0xB3 instead of 0xB2
    void SetWrongReplySlot(bool fWrong);     // replies name the next slot
    void SetShortInput(bool fShort);         // input reads return 6 bytes
    void SetSilent(bool fSilent);            // input reads get nothing (time out)
    void Unplug();                           // opens fail, every operation on a handle fails
    void Plug();

    // What happened.
    std::vector<Entry> Log() const;
    std::vector<std::vector<BYTE>> Writes() const;  // every output report written, in order
    void ClearLog();
    std::string LastOpenPath() const;
    int OpenCount() const;
    int CloseCount() const;
    int OpenHandles() const;  // opened and not yet closed

    // PadTransport
    HANDLE Open(const char* pszPath) override;
    BOOL Write(HANDLE hPad, const BYTE* pbReport, DWORD cb, DWORD* pcbWritten) override;
    BOOL GetFeature(HANDLE hPad, BYTE* pbReport, DWORD cb) override;
    BOOL ReadInput(HANDLE hPad, BYTE* pbReport, DWORD cb, DWORD* pcbRead,
                   DWORD dwTimeoutMs) override;
    BOOL Close(HANDLE hPad) override;

private:
    bool Usable(HANDLE hPad) const;  // caller holds m_lock
    void Record(Op op, const BYTE* pb, DWORD cb, BOOL ok);

    mutable std::mutex m_lock;
    PadTransport* m_pPrevious;
    BYTE m_rgbKeys[kKeySlotCount][kKeysPerSlot] = {};
    BYTE m_bModeByte = 0x10;
    BYTE m_bMotor1 = 0, m_bMotor2 = 0;
    BYTE m_bPendingQuery = 0;  // slot of the last query written, 0 = none
    bool m_fFailWrites = false, m_fFailFeature = false, m_fWrongCommand = false;
    bool m_fWrongSlot = false, m_fShortInput = false, m_fSilent = false, m_fUnplugged = false;
    std::vector<Entry> m_log;
    std::string m_lastPath;
    int m_nOpens = 0, m_nCloses = 0;
};
