#include "table/durability.h"

#include <atomic>
#include <unistd.h>

namespace table::detail {

namespace {
std::atomic<DurabilityProbe*> probe{nullptr};
} // namespace

bool syncFileToDisk(int fd) {
    if (::fsync(fd) != 0)
        return false;
    if (DurabilityProbe* watching = probe.load())
        watching->synced(fd);
    return true;
}

bool syncDataToDisk(int fd) {
    if (::fdatasync(fd) != 0)
        return false;
    if (DurabilityProbe* watching = probe.load())
        watching->synced(fd);
    return true;
}

void setDurabilityProbe(DurabilityProbe* watching) {
    probe.store(watching);
}

void reachStep(std::string_view step) {
    if (DurabilityProbe* watching = probe.load())
        watching->stepReached(step);
}

} // namespace table::detail
