#pragma once

// What the print spooler answered to the job that ending the painting on a
// printer has just handed it. Qt reports only whether the page was drawn;
// whether CUPS took the job it learns and keeps to itself.

#include <QString>

namespace zomi::report {

// The spooler's reason for refusing the last job sent from this thread (a
// queue that rejects jobs, a printer that does not exist, a spooler that does
// not answer), in its own words; empty when it created the job, even one that
// waits for a printer that is off, and where no CUPS spools the jobs.
QString LastJobRefusal();

}  // namespace zomi::report
