#include "report/Spooler.h"

#ifdef ZOMI_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace zomi::report {

QString LastJobRefusal() {
#ifdef ZOMI_HAVE_CUPS
    // Qt hands the job to CUPS on this thread when the painting ends; CUPS
    // keeps the outcome of its last request per thread.
    const ipp_status_t status = cupsLastError();
    // Codes below the first redirection are the successful ones, those that
    // substituted or ignored some attribute among them.
    if (status < IPP_STATUS_REDIRECTION_OTHER_SITE) return QString();
    const char* reason = cupsLastErrorString();
    if (reason && *reason) return QString::fromUtf8(reason);
    return QString::fromLatin1(ippErrorString(status));
#else
    return QString();
#endif
}

}  // namespace zomi::report
