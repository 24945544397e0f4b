// Disk identity and SMART attributes over the IDE driver's control codes.
#include "host/script/smartdrive.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "rtl/numtext.h"
#include "rtl/exceptions.h"

namespace {

constexpr DWORD getVersionCode = 0x74080;
constexpr DWORD sendCommandCode = 0x7C084;
constexpr DWORD receiveDataCode = 0x7C088;
constexpr size_t resultHeader = 16;  // buffer size and driver status
constexpr size_t sectorSize = 512;
constexpr int maxAttributes = 30;

#pragma pack(push, 1)
struct TVersionRecord {
    uint8_t Version, Revision, Reserved, DeviceMap;
    uint32_t Capabilities;
    uint32_t Reserved2[4];
};
struct TIdeRegisters {
    uint8_t Features, SectorCount, SectorNumber, CylinderLow, CylinderHigh, DriveHead, Command, Reserved;
};
struct TCommandBlock {
    uint32_t BufferSize;
    TIdeRegisters Registers;
    uint8_t DriveNumber;
    uint8_t Reserved[3];
    uint32_t Reserved2[4];
};
struct TCommandResult {
    uint32_t BufferSize;
    uint8_t DriverError, IdeError, Reserved[2];
    uint32_t Reserved2[2];
    uint8_t Data[sectorSize];
};
#pragma pack(pop)
static_assert(sizeof(TVersionRecord) == 24 && sizeof(TCommandBlock) == 32 && sizeof(TCommandResult) == 16 + 512);

const char* const lowNames[] = {
    "No Attribute Here", "Raw Read Error Rate", "Throughput Performance", "Spin Up Time",
    "Start/Stop Count", "Reallocated Sector Count", "Read Channel Margin", "Seek Error Rate",
    "Seek Time Performance", "Power On Count", "Spin Retry Count", "Calibration Retry Count",
    "Power Cycle Count",
};
const char* const highNames[] = {
    "Emergency Retract Cycle", "Load Cycle Count", "Temperature Celcius", "Hardware ECC",
    "Reallocation Event Count", "Current Pending Sector", "Off-line Uncorrectable", "Ultra ATA CRC Error Rate",
    "Multi Zone Error Rate", "Off Track Errors", "TA Increase Count", "ECC Errors",
    "Shock Count Write Ops", "Shock Rate Write Ops", "Unknown Attribute", "Spin High Current",
    "Spin Buzz", "Offline Seek Perf",
};
constexpr uint8_t firstHighId = 192;

struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
using TDeviceHandle = std::unique_ptr<void, HandleCloser>;

bool isOlderPlatform() { return GetVersion() & 0x80000000u; }

// The drive's device; nil with the description on failure.
TDeviceHandle openDrive(int drive, AnsiString& error) {
    HANDLE handle;
    if (isOlderPlatform()) {
        handle = CreateFileA("\\\\.\\SMARTVSD", 0, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) error = "Unable to open SMARTVSD: " + SysErrorMessage(GetLastError());
    } else {
        AnsiString path = "\\\\.\\PhysicalDrive" + intToText(drive);
        handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) error = "Unable to open physical drive: " + SysErrorMessage(GetLastError());
    }
    return TDeviceHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool control(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD returned = 0;
    return DeviceIoControl(device, code, in, inSize, out, outSize, &returned, nullptr);
}

// The command block of device i: its drive-head byte and number.
TCommandBlock commandFor(int device, uint8_t command, uint8_t features) {
    TCommandBlock block{};
    block.BufferSize = sectorSize;
    block.Registers.Features = features;
    block.Registers.SectorCount = 1;
    block.Registers.SectorNumber = 1;
    block.Registers.DriveHead = device & 1 ? 0xB0 : 0xA0;
    block.Registers.Command = command;
    block.DriveNumber = static_cast<uint8_t>(device);
    if (command == 0xB0) {  // SMART commands carry their signature in the cylinder
        block.Registers.CylinderLow = 0x4F;
        block.Registers.CylinderHigh = 0xC2;
    }
    return block;
}

AnsiString driverDetails(const TCommandResult& result) {
    return "; DriverStatus: " + intToText(result.DriverError) + "; bIDEStatus=" + intToText(result.IdeError);
}

// The open drive's first answering device and its identify data.
struct TOpenDevice {
    TDeviceHandle Handle;
    int Device = -1;
    TCommandResult Identify{};
};

bool openFirstDevice(int drive, TOpenDevice& open, AnsiString& error) {
    open.Handle = openDrive(drive, error);
    if (!open.Handle) return false;
    TVersionRecord version{};
    if (!control(open.Handle.get(), getVersionCode, nullptr, 0, &version, sizeof version)) {
        error = "DFP_GET_VERSION failed: " + SysErrorMessage(GetLastError());
        return false;
    }
    for (int device = 0; device < 4; ++device) {
        if (!(version.DeviceMap & (1 << device))) continue;
        bool packet = version.DeviceMap & (0x10 << device);
        if (!packet) {
            TCommandBlock enable = commandFor(device, 0xB0, 0xD8);
            enable.BufferSize = 0;
            TCommandResult ignored{};
            if (!control(open.Handle.get(), sendCommandCode, &enable, sizeof enable, &ignored, resultHeader))
                error = "SMART Enable Command Failed, Drive: " + intToText(device) + " : " +
                        SysErrorMessage(GetLastError());
        }
        TCommandBlock identify = commandFor(device, packet ? 0xA1 : 0xEC, 0);
        if (control(open.Handle.get(), receiveDataCode, &identify, sizeof identify, &open.Identify,
                    sizeof open.Identify)) {
            open.Device = device;
            return true;
        }
        error = "Identify Command Failed on Drive: " + intToText(device) + driverDetails(open.Identify);
    }
    return false;
}

bool readSmart(HANDLE handle, int device, uint8_t features, TCommandResult& result, const char* failure,
               AnsiString& error) {
    TCommandBlock block = commandFor(device, 0xB0, features);
    if (control(handle, receiveDataCode, &block, sizeof block, &result, sizeof result)) return true;
    error = failure + intToText(device) + driverDetails(result);
    return false;
}

// Runs a drive routine; an unexpected exception becomes its description.
template <class Routine>
bool guarded(AnsiString& error, Routine routine) {
    try {
        return routine();
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace

bool GetDriveIdentity(int drive, TDriveIdentity& identity, AnsiString& error) {
    return guarded(error, [&] {
        TOpenDevice open;
        if (!openFirstDevice(drive, open, error)) return false;
        const uint8_t* data = open.Identify.Data;
        identity.Serial = SwapAtaString(data + 20, 20);
        identity.Model = SwapAtaString(data + 54, 40);
        uint32_t sectors;
        std::memcpy(&sectors, data + 120, sizeof sectors);
        identity.Size = uint64_t(sectors) * sectorSize;
        return true;
    });
}

bool GetSmartAttributes(int drive, std::vector<TSmartAttribute>& attributes, AnsiString& error) {
    return guarded(error, [&] {
        TOpenDevice open;
        if (!openFirstDevice(drive, open, error)) return false;
        auto values = std::make_unique<TCommandResult>();
        auto thresholds = std::make_unique<TCommandResult>();
        if (!readSmart(open.Handle.get(), open.Device, 0xD0, *values, "SMART Read Attr Command Failed, Drive: ", error) ||
            !readSmart(open.Handle.get(), open.Device, 0xD1, *thresholds,
                       "SMART Read Threshold Command Failed, Drive: ", error))
            return false;
        attributes = ParseSmartTables(values->Data, thresholds->Data);
        return true;
    });
}

std::vector<TSmartAttribute> ParseSmartTables(const uint8_t* attributes, const uint8_t* thresholds) {
    constexpr size_t tableStart = 2, entrySize = 12;  // after the revision
    std::vector<TSmartAttribute> list;
    for (int k = 0; k < maxAttributes; ++k) {
        const uint8_t* entry = attributes + tableStart + k * entrySize;
        if (entry[0] == 0) break;
        TSmartAttribute attribute;
        attribute.Id = entry[0];
        attribute.Value = entry[3];
        attribute.Worst = entry[4];
        for (int b = 5; b >= 0; --b) attribute.Raw = attribute.Raw << 8 | entry[5 + b];
        attribute.Threshold = thresholds[tableStart + k * entrySize + 1];
        list.push_back(attribute);
    }
    return list;
}

AnsiString SmartAttributeName(uint8_t id) {
    if (id < std::size(lowNames)) return lowNames[id];
    if (id >= firstHighId && id - firstHighId < static_cast<int>(std::size(highNames))) return highNames[id - firstHighId];
    return "Unknown";
}

AnsiString SmartRawText(uint64_t raw) {
    char text[16];
    std::snprintf(text, sizeof text, "%012llX", static_cast<unsigned long long>(raw & 0xFFFFFFFFFFFFull));
    return AnsiString("0x") + text;
}

AnsiString SwapAtaString(const uint8_t* bytes, size_t count) {
    std::string text(count, ' ');
    for (size_t i = 0; i + 1 < count; i += 2) {
        text[i] = static_cast<char>(bytes[i + 1]);
        text[i + 1] = static_cast<char>(bytes[i]);
    }
    size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    return first == std::string::npos ? AnsiString() : AnsiString(text.substr(first, last - first + 1));
}
