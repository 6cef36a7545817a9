#include "Machine.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace sc::machine {

qint64 physicalMemoryBytes() {
#ifdef Q_OS_UNIX
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
#else
    return 0;
#endif
}

} // namespace sc::machine
