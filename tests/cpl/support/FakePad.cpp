#include "FakePad.h"

HANDLE const FakePad::kHandle = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(0x4D19));

FakePad::FakePad() : m_pPrevious(SetPadTransport(this)) {}

FakePad::~FakePad()
{
    SetPadTransport(m_pPrevious);
}

void FakePad::SetKeys(int nSlot, BYTE k1, BYTE k2, BYTE k3, BYTE k4)
{
    std::lock_guard<std::mutex> guard(m_lock);
    BYTE* pKeys = m_rgbKeys[nSlot - 1];
    pKeys[0] = k1;
    pKeys[1] = k2;
    pKeys[2] = k3;
    pKeys[3] = k4;
}

std::vector<BYTE> FakePad::Keys(int nSlot) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    const BYTE* pKeys = m_rgbKeys[nSlot - 1];
    return std::vector<BYTE>(pKeys, pKeys + kKeysPerSlot);
}

void FakePad::SetModeByte(BYTE bModeByte)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_bModeByte = bModeByte;
}

BYTE FakePad::LastMotor1() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bMotor1;
}

BYTE FakePad::LastMotor2() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bMotor2;
}

#define FAKEPAD_SETTER(name, field)               \
    void FakePad::name(bool f)                    \
    {                                             \
        std::lock_guard<std::mutex> guard(m_lock); \
        field = f;                                \
    }
FAKEPAD_SETTER(SetFailWrites, m_fFailWrites)
FAKEPAD_SETTER(SetFailFeatureReads, m_fFailFeature)
FAKEPAD_SETTER(SetWrongReplyCommand, m_fWrongCommand)
FAKEPAD_SETTER(SetWrongReplySlot, m_fWrongSlot)
FAKEPAD_SETTER(SetShortInput, m_fShortInput)
FAKEPAD_SETTER(SetSilent, m_fSilent)
#undef FAKEPAD_SETTER

void FakePad::Unplug()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_fUnplugged = true;
}

void FakePad::Plug()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_fUnplugged = false;
}

std::vector<FakePad::Entry> FakePad::Log() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_log;
}

std::vector<std::vector<BYTE>> FakePad::Writes() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<std::vector<BYTE>> writes;
    for (const Entry& entry : m_log)
        if (entry.op == Op::Write)
            writes.push_back(entry.bytes);
    return writes;
}

void FakePad::ClearLog()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_log.clear();
}

std::string FakePad::LastOpenPath() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastPath;
}

int FakePad::OpenCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nOpens;
}

int FakePad::CloseCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nCloses;
}

int FakePad::OpenHandles() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nOpens - m_nCloses;
}

bool FakePad::Usable(HANDLE hPad) const
{
    return hPad == kHandle && !m_fUnplugged && m_nOpens > m_nCloses;
}

void FakePad::Record(Op op, const BYTE* pb, DWORD cb, BOOL ok)
{
    m_log.push_back(Entry{op, std::vector<BYTE>(pb, pb + cb), ok});
}

HANDLE FakePad::Open(const char* pszPath)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_lastPath = pszPath ? pszPath : "";
    const BOOL ok = !m_fUnplugged;
    Record(Op::Open, nullptr, 0, ok);
    if (!ok) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    ++m_nOpens;
    return kHandle;
}

BOOL FakePad::Write(HANDLE hPad, const BYTE* pbReport, DWORD cb, DWORD* pcbWritten)
{
    std::lock_guard<std::mutex> guard(m_lock);
    *pcbWritten = 0;
    if (!Usable(hPad) || m_fFailWrites || cb != kPadCommandReportSize ||
        pbReport[0] != kPadReportId) {
        Record(Op::Write, pbReport, cb, FALSE);
        SetLastError(m_fUnplugged ? ERROR_DEVICE_NOT_CONNECTED : ERROR_GEN_FAILURE);
        return FALSE;
    }
    Record(Op::Write, pbReport, cb, TRUE);
    *pcbWritten = cb;
    const BYTE bSlot = pbReport[2];
    const bool fSlotInRange = bSlot >= 1 && bSlot <= kKeySlotCount;
    switch (pbReport[1]) {
    case kPadCmdRumble:
        m_bMotor1 = pbReport[2];
        m_bMotor2 = pbReport[3];
        break;
    case kPadCmdSetSlot:
        if (fSlotInRange)
            for (int i = 0; i < kKeysPerSlot; ++i)
                m_rgbKeys[bSlot - 1][i] = pbReport[3 + i];
        break;
    case kPadCmdQuerySlot:
        m_bPendingQuery = fSlotInRange ? bSlot : 0;
        break;
    default:
        break;
    }
    return TRUE;
}

BOOL FakePad::GetFeature(HANDLE hPad, BYTE* pbReport, DWORD cb)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!Usable(hPad) || m_fFailFeature || cb != kPadCommandReportSize ||
        pbReport[0] != kPadReportId || m_bPendingQuery == 0) {
        Record(Op::GetFeature, pbReport, cb, FALSE);
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    const BYTE bSlot = m_bPendingQuery;
    pbReport[1] = m_fWrongCommand ? 0xB3 : kPadCmdSlotReply;
    pbReport[2] = static_cast<BYTE>(m_fWrongSlot ? bSlot % kKeySlotCount + 1 : bSlot);
    for (int i = 0; i < kKeysPerSlot; ++i)
        pbReport[3 + i] = m_rgbKeys[bSlot - 1][i];
    pbReport[7] = 0;
    Record(Op::GetFeature, pbReport, cb, TRUE);
    return TRUE;
}

BOOL FakePad::ReadInput(HANDLE hPad, BYTE* pbReport, DWORD cb, DWORD* pcbRead, DWORD)
{
    std::lock_guard<std::mutex> guard(m_lock);
    *pcbRead = 0;
    if (!Usable(hPad) || cb < kPadInputReportSize) {
        Record(Op::ReadInput, nullptr, 0, FALSE);
        SetLastError(m_fUnplugged ? ERROR_DEVICE_NOT_CONNECTED : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (m_fSilent) {
        // What the real transport reports when its wait runs out.
        Record(Op::ReadInput, nullptr, 0, FALSE);
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    const DWORD cbReport = m_fShortInput ? 6 : kPadInputReportSize;
    pbReport[0] = kPadReportId;
    for (DWORD i = 1; i < cbReport; ++i)
        pbReport[i] = 0;
    if (cbReport == kPadInputReportSize)
        pbReport[11] = m_bModeByte;
    *pcbRead = cbReport;
    Record(Op::ReadInput, pbReport, cbReport, TRUE);
    return TRUE;
}

BOOL FakePad::Close(HANDLE hPad)
{
    std::lock_guard<std::mutex> guard(m_lock);
    const BOOL ok = hPad == kHandle && m_nOpens > m_nCloses;
    Record(Op::Close, nullptr, 0, ok);
    if (ok)
        ++m_nCloses;
    else
        SetLastError(ERROR_INVALID_HANDLE);
    return ok;
}
