// The system-information children of "system".
#include "host/script/sysinfo.h"

#include <iphlpapi.h>

#include <cstring>

#include "engine/core/valuelist.h"
#include "host/script/smartdrive.h"
#include "rtl/numtext.h"

// ==== The CPU meter ====

namespace {

constexpr int basicInformation = 0, performanceInformation = 2, timeOfDayInformation = 3;
const char* const statisticValue = "KERNEL\\CPUUsage";

// Reads the older platform's 4-byte statistic under the key: false when the
// key cannot be opened; `value` is set only when exactly 4 bytes are read.
bool readStatistic(const char* key, DWORD& value) {
    HKEY handle;
    if (RegOpenKeyExA(HKEY_DYN_DATA, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    DWORD read = 0, size = sizeof read;
    if (RegQueryValueExA(handle, statisticValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size) ==
            ERROR_SUCCESS &&
        size == sizeof read)
        value = read;
    RegCloseKey(handle);
    return true;
}

int64_t int64At(const uint8_t* buffer, size_t offset) {
    int64_t value;
    std::memcpy(&value, buffer + offset, sizeof value);
    return value;
}

}  // namespace

const TClassInfo TCpuUsage::classInfo = makeClassInfo("TCpuUsage", &TComponent::classInfo);

TCpuUsage::TCpuUsage() : TComponent(nullptr) {
    Ntdll_ = LoadLibraryA("ntdll.dll");
    if (!Ntdll_) return;
    Query_ = reinterpret_cast<TQuery>(reinterpret_cast<void*>(GetProcAddress(Ntdll_, "NtQuerySystemInformation")));
    uint8_t basic[44] = {};
    if (Query_ && query(basicInformation, basic, sizeof basic)) {
        Processors_ = basic[40] ? basic[40] : 1;
        return;
    }
    FreeLibrary(Ntdll_);
    Ntdll_ = nullptr;
}

TCpuUsage::~TCpuUsage() {
    DWORD ignored;
    if (StatisticTried_) readStatistic("\\PerfStats\\StopStat", ignored);
    // A destructor cannot raise: the failure to free ntdll, which the platform
    // keeps loaded anyway, is dropped.
    if (Ntdll_) FreeLibrary(Ntdll_);
}

bool TCpuUsage::query(int infoClass, void* buffer, ULONG size) const {
    ULONG returned = 0;
    return Query_(infoClass, buffer, size, &returned) >= 0;
}

uint8_t TCpuUsage::GetUsage() { return Ntdll_ ? GetUsageNT() : GetUsage9x(); }

uint8_t TCpuUsage::GetUsageNT() {
    uint8_t timeOfDay[32] = {}, performance[312] = {};
    if (!query(timeOfDayInformation, timeOfDay, sizeof timeOfDay) ||
        !query(performanceInformation, performance, sizeof performance))
        return 0;
    int64_t system = int64At(timeOfDay, 8), idle = int64At(performance, 0);
    uint8_t usage = PreviousIdle_ == 0 ? 0 : CpuLoadPercent(idle - PreviousIdle_, system - PreviousSystem_, Processors_);
    PreviousIdle_ = idle;
    PreviousSystem_ = system;
    return usage;
}

uint8_t TCpuUsage::GetUsage9x() {
    DWORD value = 0;
    if (!StatisticTried_) {
        StatisticTried_ = true;
        StatisticStarted_ = readStatistic("\\PerfStats\\StartStat", value);
    }
    if (!StatisticStarted_) return 0;
    value = 0;
    readStatistic("\\PerfStats\\StatData", value);
    return static_cast<uint8_t>(value);
}

uint8_t CpuLoadPercent(int64_t idle, int64_t span, uint8_t processors) {
    if (span == 0 || processors == 0) return 0;
    double load = 100.0 - static_cast<double>(idle) / static_cast<double>(span) * 100.0 / processors;
    return static_cast<uint8_t>(static_cast<int64_t>(load));
}

// ==== Cpu, Net, Memory, Battery, Screen ====

namespace {

const TPropInfo cpuProperties[] = {IntegerProperty<&TCpuObject::usageProperty>("usage")};

// The octets of the first Ethernet interface; false when there is none or
// the table cannot be read.
bool GetEthernetOctets(uint64_t& in, uint64_t& out) {
    ULONG size = 0;
    if (GetIfTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER) return false;
    std::vector<uint8_t> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, FALSE) != NO_ERROR) return false;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IFROW& row = table->table[i];
        if (row.dwType != MIB_IF_TYPE_ETHERNET) continue;
        in = row.dwInOctets;
        out = row.dwOutOctets;
        return true;
    }
    return false;
}

uint64_t ethernetOctets(bool incoming) {
    uint64_t in = 0, out = 0;
    if (!GetEthernetOctets(in, out)) return 0;
    return incoming ? in : out;
}

const TPropInfo netProperties[] = {
    Int64Property<&TNetObject::inBytesProperty>("inBytes"),
    Int64Property<&TNetObject::outBytesProperty>("outBytes"),
};

// The platform's 32-byte memory record, one call per read.
MEMORYSTATUS memoryStatus() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return status;
}

int32_t signed32(SIZE_T value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

const TPropInfo memoryProperties[] = {
    IntegerProperty<&TMemoryObject::memoryLoadProperty>("memoryLoad"),
    IntegerProperty<&TMemoryObject::totalPhysProperty>("totalPhys"),
    IntegerProperty<&TMemoryObject::availPhysProperty>("availPhys"),
    IntegerProperty<&TMemoryObject::totalPageFileProperty>("totalPageFile"),
    IntegerProperty<&TMemoryObject::availPageFileProperty>("availPageFile"),
    IntegerProperty<&TMemoryObject::totalVirtualProperty>("totalVirtual"),
    IntegerProperty<&TMemoryObject::availVirtualProperty>("availVirtual"),
};

SYSTEM_POWER_STATUS powerStatus() {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) {
        status.ACLineStatus = status.BatteryFlag = status.BatteryLifePercent = 255;
        status.BatteryLifeTime = status.BatteryFullLifeTime = static_cast<DWORD>(-1);
    }
    return status;
}

const TPropInfo batteryProperties[] = {
    IntegerProperty<&TBatteryObject::acLineStatusProperty>("acLineStatus"),
    IntegerProperty<&TBatteryObject::batteryFlagProperty>("batteryFlag"),
    IntegerProperty<&TBatteryObject::batteryLifePercentProperty>("batteryLifePercent"),
    IntegerProperty<&TBatteryObject::batteryLifeTimeProperty>("batteryLifeTime"),
    IntegerProperty<&TBatteryObject::batteryFullLifeTimeProperty>("batteryFullLifeTime"),
};

RECT workArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

const TPropInfo screenProperties[] = {
    IntegerProperty<&TScreenObject::widthProperty>("width"),
    IntegerProperty<&TScreenObject::heightProperty>("height"),
    IntegerProperty<&TScreenObject::workAreaLeftProperty>("workAreaLeft"),
    IntegerProperty<&TScreenObject::workAreaTopProperty>("workAreaTop"),
    IntegerProperty<&TScreenObject::workAreaWidthProperty>("workAreaWidth"),
    IntegerProperty<&TScreenObject::workAreaHeightProperty>("workAreaHeight"),
};

}  // namespace

const TClassInfo TCpuObject::classInfo = makeClassInfo("TCpuObject", &TJObject::classInfo, cpuProperties);

TCpuObject::TCpuObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Cpu");
}

TCpuObject::~TCpuObject() {
    if (Meter_) Meter_->Free();
}

int32_t TCpuObject::usageProperty() const {
    try {
        if (!Meter_) Meter_ = new TCpuUsage();
        LastUsage_ = Meter_->GetUsage();
    } catch (const std::exception&) {
        // The last value stands.
    }
    return LastUsage_;
}

const TClassInfo TNetObject::classInfo = makeClassInfo("TNetObject", &TJObject::classInfo, netProperties);

TNetObject::TNetObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args) : TJObject(key, runtime, args) {
    SetClassName("Net");
}

int64_t TNetObject::inBytesProperty() const { return static_cast<int64_t>(ethernetOctets(true)); }
int64_t TNetObject::outBytesProperty() const { return static_cast<int64_t>(ethernetOctets(false)); }

const TClassInfo TMemoryObject::classInfo = makeClassInfo("TMemoryObject", &TJObject::classInfo, memoryProperties);

TMemoryObject::TMemoryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Memory");
}

int32_t TMemoryObject::memoryLoadProperty() const { return static_cast<int32_t>(memoryStatus().dwMemoryLoad); }
int32_t TMemoryObject::totalPhysProperty() const { return signed32(memoryStatus().dwTotalPhys); }
int32_t TMemoryObject::availPhysProperty() const { return signed32(memoryStatus().dwAvailPhys); }
int32_t TMemoryObject::totalPageFileProperty() const { return signed32(memoryStatus().dwTotalPageFile); }
int32_t TMemoryObject::availPageFileProperty() const { return signed32(memoryStatus().dwAvailPageFile); }
int32_t TMemoryObject::totalVirtualProperty() const { return signed32(memoryStatus().dwTotalVirtual); }
int32_t TMemoryObject::availVirtualProperty() const { return signed32(memoryStatus().dwAvailVirtual); }

const TClassInfo TBatteryObject::classInfo =
    makeClassInfo("TBatteryObject", &TJObject::classInfo, batteryProperties);

TBatteryObject::TBatteryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Battery");
}

int32_t TBatteryObject::acLineStatusProperty() const { return powerStatus().ACLineStatus; }
int32_t TBatteryObject::batteryFlagProperty() const { return powerStatus().BatteryFlag; }
int32_t TBatteryObject::batteryLifePercentProperty() const { return powerStatus().BatteryLifePercent; }
int32_t TBatteryObject::batteryLifeTimeProperty() const {
    return static_cast<int32_t>(powerStatus().BatteryLifeTime);
}
int32_t TBatteryObject::batteryFullLifeTimeProperty() const {
    return static_cast<int32_t>(powerStatus().BatteryFullLifeTime);
}

const TClassInfo TScreenObject::classInfo = makeClassInfo("TScreenObject", &TJObject::classInfo, screenProperties);

TScreenObject::TScreenObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Screen");
}

int32_t TScreenObject::widthProperty() const { return GetSystemMetrics(SM_CXSCREEN); }
int32_t TScreenObject::heightProperty() const { return GetSystemMetrics(SM_CYSCREEN); }
int32_t TScreenObject::workAreaLeftProperty() const { return workArea().left; }
int32_t TScreenObject::workAreaTopProperty() const { return workArea().top; }
int32_t TScreenObject::workAreaWidthProperty() const {
    RECT area = workArea();
    return area.right - area.left;
}
int32_t TScreenObject::workAreaHeightProperty() const {
    RECT area = workArea();
    return area.bottom - area.top;
}

// ==== Disk ====

namespace {

const TPropInfo diskProperties[] = {
    ClassProperty<&TDiskDriveObject::attrValueProperty>("attrValue", &TJObject::classInfo),
    ClassProperty<&TDiskDriveObject::attrIDProperty>("attrID", &TJObject::classInfo),
    ClassProperty<&TDiskDriveObject::attrNameProperty>("attrName", &TJObject::classInfo),
    ClassProperty<&TDiskDriveObject::worstValueProperty>("worstValue", &TJObject::classInfo),
    ClassProperty<&TDiskDriveObject::thresholdProperty>("threshold", &TJObject::classInfo),
    ClassProperty<&TDiskDriveObject::rawValueProperty>("rawValue", &TJObject::classInfo),
    StringProperty<&TDiskDriveObject::modelProperty>("model"),
    StringProperty<&TDiskDriveObject::serialProperty>("serial"),
    StringProperty<&TDiskDriveObject::sizeProperty>("size"),
};

TJArrayObject* newColumn(TJRuntime* runtime) {
    auto* column = createObject<TJArrayObject>(runtime, false, nullptr);
    column->IncRef();
    return column;
}

void addNumber(TJArrayObject* column, int32_t number) {
    TJValue value;
    MakeInteger(number, value);
    column->Add(value);
}

void addText(TJArrayObject* column, const AnsiString& text) {
    TJValue value;
    MakeString(text, value);
    column->Add(value);
}

// getSMART(drive): false without an argument, changing nothing.
void getSMART(TDiskDriveObject& self, TJValueList* args, TJValue& result) {
    MakeBool(self.GetSmart(ValueToInteger(args->At(0))), result);
}

const TJMethod<TDiskDriveObject> diskMethods[] = {
    {"getSMART", 1, &getSMART, TJMethodResult::False},
};

}  // namespace

const TClassInfo TDiskDriveObject::classInfo =
    makeClassInfo("TDiskDriveObject", &TJArrayObject::classInfo, diskProperties);

TDiskDriveObject::TDiskDriveObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList*)
    : TJArrayObject(key, runtime, nullptr),
      AttrValue_(newColumn(runtime)),
      AttrID_(newColumn(runtime)),
      AttrName_(newColumn(runtime)),
      WorstValue_(newColumn(runtime)),
      Threshold_(newColumn(runtime)),
      RawValue_(newColumn(runtime)) {
    SetClassName("Disk");
}

TDiskDriveObject::~TDiskDriveObject() {
    for (TJArrayObject* column : {AttrValue_, AttrID_, AttrName_, WorstValue_, Threshold_, RawValue_})
        column->DecRef();
}

const TJMethodTable& TDiskDriveObject::Methods() const {
    static const TJMethodTable table(diskMethods, TJArrayObject::Methods());
    return table;
}

bool TDiskDriveObject::readIdentity(int drive) {
    TDriveIdentity identity;
    AnsiString diagnosis;
    if (!GetDriveIdentity(drive, identity, diagnosis)) {
        Identity_ = TIdentityState::Failed;
        return false;
    }
    Model_ = identity.Model;
    Serial_ = identity.Serial;
    Size_ = FormatThousands(identity.Size);
    Identity_ = TIdentityState::Read;
    return true;
}

bool TDiskDriveObject::GetSmart(int drive) {
    for (TJArrayObject* column : {AttrValue_, AttrID_, AttrName_, WorstValue_, Threshold_, RawValue_})
        column->Items().Clear();
    if (Identity_ == TIdentityState::Failed) return false;
    if (Identity_ == TIdentityState::Unknown && !readIdentity(drive)) return false;
    std::vector<TSmartAttribute> attributes;
    AnsiString diagnosis;
    if (!GetSmartAttributes(drive, attributes, diagnosis) || attributes.empty()) return false;
    for (const TSmartAttribute& attribute : attributes) {
        addNumber(AttrID_, attribute.Id);
        addText(AttrName_, SmartAttributeName(attribute.Id));
        addNumber(AttrValue_, attribute.Value);
        addNumber(WorstValue_, attribute.Worst);
        addNumber(Threshold_, attribute.Threshold);
        addText(RawValue_, SmartRawText(attribute.Raw));
    }
    return true;
}

AnsiString FormatThousands(uint64_t value) {
    char separator[8] = ",";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator);
    AnsiString digits = intToText(static_cast<long long>(value)), text;
    for (size_t i = 0; i < digits.length(); ++i) {
        if (i > 0 && (digits.length() - i) % 3 == 0) text += separator;
        text += digits[i];
    }
    return text;
}
