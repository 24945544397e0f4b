// The system-information children of the script object "system": CPU load,
// network octets, memory, battery, screen and the disk's SMART attributes.
// Every value is read from the platform when its property is read; only the
// CPU meter's previous sample and the disk identity are kept.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/core/array.h"
#include "engine/core/object.h"
#include "rtl/component.h"

// The processor-load meter: the load over the time since the previous sample.
class TCpuUsage : public TComponent {
    RTL_DECLARE_CLASS()
    TCpuUsage();

    // The load in percent; 0 on the first sample.
    uint8_t GetUsage();

protected:
    ~TCpuUsage() override;

private:
    using TQuery = LONG(WINAPI*)(int infoClass, void* buffer, ULONG size, ULONG* returned);

    uint8_t GetUsageNT();
    uint8_t GetUsage9x();
    bool query(int infoClass, void* buffer, ULONG size) const;

    HMODULE Ntdll_ = nullptr;  // nil: the older platform's registry statistic
    TQuery Query_ = nullptr;
    int64_t PreviousIdle_ = 0;
    int64_t PreviousSystem_ = 0;
    uint8_t Processors_ = 1;
    bool StatisticStarted_ = false;  // the older platform's statistic runs
    bool StatisticTried_ = false;
};

// The load formula: 100 - idle / span * 100 / processors, truncated toward
// zero and taken to its low 8 bits.
uint8_t CpuLoadPercent(int64_t idle, int64_t span, uint8_t processors);

class TCpuObject : public TJObject {
    RTL_DECLARE_CLASS()
    TCpuObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TCpuObject() override;

    int32_t usageProperty() const;

private:
    mutable TCpuUsage* Meter_ = nullptr;  // owned; made on the first read
    mutable int32_t LastUsage_ = 0;
};

class TNetObject : public TJObject {
    RTL_DECLARE_CLASS()
    TNetObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int64_t inBytesProperty() const;
    int64_t outBytesProperty() const;
};

class TMemoryObject : public TJObject {
    RTL_DECLARE_CLASS()
    TMemoryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int32_t memoryLoadProperty() const;
    int32_t totalPhysProperty() const;
    int32_t availPhysProperty() const;
    int32_t totalPageFileProperty() const;
    int32_t availPageFileProperty() const;
    int32_t totalVirtualProperty() const;
    int32_t availVirtualProperty() const;
};

class TBatteryObject : public TJObject {
    RTL_DECLARE_CLASS()
    TBatteryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int32_t acLineStatusProperty() const;
    int32_t batteryFlagProperty() const;
    int32_t batteryLifePercentProperty() const;
    int32_t batteryLifeTimeProperty() const;
    int32_t batteryFullLifeTimeProperty() const;
};

class TScreenObject : public TJObject {
    RTL_DECLARE_CLASS()
    TScreenObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    int32_t widthProperty() const;
    int32_t heightProperty() const;
    int32_t workAreaLeftProperty() const;
    int32_t workAreaTopProperty() const;
    int32_t workAreaWidthProperty() const;
    int32_t workAreaHeightProperty() const;
};

// "Disk": the identity of a drive and the SMART attributes of the last
// successful getSMART, one script array per column.
class TDiskDriveObject : public TJArrayObject {
    RTL_DECLARE_CLASS()
    TDiskDriveObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TDiskDriveObject() override;

    // getSMART(drive): true when the attributes were read.
    bool GetSmart(int drive);

    TJObject* attrValueProperty() const { return AttrValue_; }
    TJObject* attrIDProperty() const { return AttrID_; }
    TJObject* attrNameProperty() const { return AttrName_; }
    TJObject* worstValueProperty() const { return WorstValue_; }
    TJObject* thresholdProperty() const { return Threshold_; }
    TJObject* rawValueProperty() const { return RawValue_; }
    AnsiString modelProperty() const { return Model_; }
    AnsiString serialProperty() const { return Serial_; }
    AnsiString sizeProperty() const { return Size_; }

    const TJMethodTable& Methods() const override;

private:
    enum class TIdentityState { Unknown, Read, Failed };

    bool readIdentity(int drive);

    TJArrayObject* AttrValue_;
    TJArrayObject* AttrID_;
    TJArrayObject* AttrName_;
    TJArrayObject* WorstValue_;
    TJArrayObject* Threshold_;
    TJArrayObject* RawValue_;
    AnsiString Model_, Serial_, Size_;
    TIdentityState Identity_ = TIdentityState::Unknown;
};

// The decimal text of a number with the locale's thousands separator every
// three digits.
AnsiString FormatThousands(uint64_t value);
