#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"

#include <QSharedMemory>

#include <cstring>

namespace korvo::metrics {

struct CpuInfoSegment::Private
{
    QSharedMemory memory;
};

CpuInfoSegment::CpuInfoSegment() : d(std::make_unique<Private>()) {}

CpuInfoSegment::~CpuInfoSegment() = default;

bool CpuInfoSegment::create()
{
    d->memory.setKey(cpuInfoMemoryKey());
    return d->memory.create(CpuInfoMemorySize, QSharedMemory::ReadWrite);
}

bool CpuInfoSegment::attach()
{
    // Setting the same key again leaves an existing attachment alone.
    d->memory.setKey(cpuInfoMemoryKey());
    return d->memory.attach(QSharedMemory::ReadWrite) && d->memory.size() >= CpuInfoBlockSize;
}

void CpuInfoSegment::detach()
{
    d->memory.detach();
}

// The system removes a named segment with its last handle.
void CpuInfoSegment::remove()
{
    d->memory.detach();
}

bool CpuInfoSegment::isAttached() const
{
    return d->memory.isAttached();
}

QString CpuInfoSegment::errorString() const
{
    return d->memory.errorString();
}

bool CpuInfoSegment::read(CpuInfoBytes& bytes) const
{
    if (!d->memory.isAttached() || !d->memory.lock())
        return false;
    std::memcpy(bytes.data(), d->memory.constData(), bytes.size());
    d->memory.unlock();
    return true;
}

bool CpuInfoSegment::publish(const CpuInfoBytes& bytes)
{
    if (!d->memory.isAttached() || !d->memory.lock())
        return false;
    std::memcpy(d->memory.data(), bytes.data(), bytes.size());
    d->memory.unlock();
    return true;
}

} // namespace korvo::metrics
