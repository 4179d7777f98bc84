// Built-in defaults of every component, paths and numbers, by parameter number.
//
// The numbering is shared by all programs of the farm (supervisor 0..53, worker 101..132,
// programming interfaces 201, client 301..306, graphical tools 401..408, database 501..506,
// mail 601..610, 701), so the tables hold entries this library never asks for.
//
// Text defaults are built at the moment of the call from three roots:
//   W  the Windows directory (platform/directories.h: /etc on POSIX systems, or $TQWINDIR)
//   T  the temporary directory (GetTempPathA, $TMPDIR or /tmp, or $TQTEMPDIR)
//   I  the installation directory: empty until setInstallDirectory() is called (the client
//      configuration does that with its "tq_directory" value, or with number 0)
// The suffixes use '\' on every platform, so on a POSIX system number 301 reads "/etc\tq.conf";
// the file layer takes '\' as a separator there (platform/file_system.h), so that is the file
// /etc/tq.conf. Before any installation directory is set, paths on I begin with their suffix
// alone (number 8 is "\logs").
#pragma once

#include "records/tq_string.h"

namespace tq {

// The text default of `number`; empty for a number without one.
TqString defaultText(int number);
// The integer default of `number`; 0 for a number without one.
int defaultNumber(int number);

// Replaces the process-wide installation directory.
void setInstallDirectory(const TqString& path);
const TqString& installDirectory();

// The job-type search path (numbers 112, 302, 402) for an installation directory:
// I + "\types;" + P + "jobtypes;" + P' + "jobtypes", P being the parent of I with a trailing '\'
// and P' the same with "C:\Program Files" turned into "C:\Program Files (x86)".
TqString jobTypeSearchPath(const TqString& install_directory);

// Sets the installation directory for one scope and restores the previous one afterwards.
class ScopedInstallDirectory {
 public:
  explicit ScopedInstallDirectory(const TqString& path) : previous_(installDirectory()) {
    setInstallDirectory(path);
  }
  ~ScopedInstallDirectory() { setInstallDirectory(previous_); }
  ScopedInstallDirectory(const ScopedInstallDirectory&) = delete;
  ScopedInstallDirectory& operator=(const ScopedInstallDirectory&) = delete;

 private:
  TqString previous_;
};

}  // namespace tq
