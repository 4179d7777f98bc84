// tq::JobType: the client's view of a job type, a directory named for the type that holds
// "job.conf".
//
// Finding the type. The search path is a list of directories separated by ';' (empty elements
// are skipped). By default it is
//   $TQPATH ; worker_template_path of tq.conf ; installation text 302 ; installation text 112
// Each element is listed in order, and the first entry that is a directory and whose name is
// exactly the type name (case matters, on Windows too) is the type's directory. The search
// stops there, whether or not that directory holds a "job.conf".
//
// Loading. "job.conf" is read as a flat configuration file (config/config_record.h). The type is
// valid when the file was read and both version checks pass:
//   minimum_kerv_version  invalid when the library's version is below it
//   required_kerv_version invalid when it differs from the library's version
// A value that is not a plain decimal number (digits with at most one '.', an optional sign)
// skips its check. Both sides are compared as single-precision numbers made by the same
// conversion from their texts, so "5.2" in a file equals the library's "5.2" exactly (no double
// against float rounding). The other keys are read even when a check fails.
//
// Windows-first pairs. gui_binding_winnt feeds the job-display, sub-job-display and submission
// bindings, each with its *_library_winnt. Where that binding is empty, the generic pair
// (gui_job_display_binding and gui_job_display_library, and so on) replaces both values. The
// execution pair works the same way with execute_binding_winnt / execute_library_winnt and
// execute_binding / execute_library. The rule is the same on every platform: the values are
// only texts for the programs that load them.
//
// Path values (the libraries, gui_icon, callback_library) resolve against the type's directory:
// a value that starts with '/' or '\' (a root, or a UNC "\\server") or with a drive letter and
// ':' is absolute and kept as written; any other non-empty value is joined to the directory
// with this system's separator ('\' on Windows, '/' elsewhere), no separator being added when
// the directory already ends with '/' or '\'. Separators inside the value are kept as written:
// the file layer takes both on every platform.
#pragma once

#include <cstdint>
#include <vector>

#include "config/client_config.h"
#include "config/config_record.h"
#include "records/catalogue_work.h"
#include "records/tq_string.h"

namespace tq {

class JobType {
 public:
  JobType() = default;
  // Finds and reads the type along the default search path (searchPath()). Building that path
  // reads tq.conf, which sets the process-wide installation directory (config/defaults.h).
  explicit JobType(const TqString& name);
  // Finds and reads the type along `search_path`.
  JobType(const TqString& name, const TqString& search_path);

  // $TQPATH;worker_template_path;text 302;text 112.
  static TqString searchPath();
  // The same with a configuration already read.
  static TqString searchPath(const ClientConfig& config);

  // Every valid type along the path, each name once (the first directory of that name wins, as
  // when opening the type by name), in the order the directories list them. Entries whose
  // names begin with '.' are not types.
  static std::vector<JobType> available();
  static std::vector<JobType> available(const TqString& search_path);

  // Appends one "callback" per section of the sectioned file at `path`: the section name gives
  // the triggers, "code" the code, "language" the language (callback language names, so
  // "perl" is 2), and a non-empty "max" the decimal maximum. Sections without a language or
  // without code are skipped. Answers how many were appended (0 for a missing file).
  static int32_t addCallbacks(const TqString& path, CallbackList& list);
  // The same with this type's callback_library; 0 when the type has none.
  int32_t addCallbacks(CallbackList& list) const;

  bool isValid() const { return valid_; }
  // Whether its "job.conf" was found and read, whatever the version checks said.
  bool wasRead() const { return read_; }
  // Why the type is not valid (empty when it is): not found, no "job.conf", or which version
  // check failed. Meant for people; not logged.
  const TqString& problem() const { return problem_; }

  const TqString& name() const { return name_; }
  const TqString& path() const { return search_path_; }
  // The type's directory; empty when none was found.
  const TqString& directory() const { return directory_; }
  // The parsed "job.conf".
  const ConfigRecord& configuration() const { return config_; }

  // Any key of "job.conf" ("" when absent), optionally resolved as a path.
  const TqString& value(const TqString& key) const { return config_.get(key); }
  TqString value(const TqString& key, bool resolved) const;
  // The path rule above, against this type's directory.
  TqString resolve(const TqString& value) const;

  const TqString& minimumVersion() const { return minimum_version_; }
  const TqString& requiredVersion() const { return required_version_; }
  const TqString& callbackLibrary() const { return callback_library_; }
  const TqString& guiIcon() const { return gui_icon_; }
  const TqString& guiJobDisplayBinding() const { return gui_job_display_binding_; }
  const TqString& guiJobDisplayLibrary() const { return gui_job_display_library_; }
  const TqString& guiSubjobDisplayBinding() const { return gui_subjob_display_binding_; }
  const TqString& guiSubjobDisplayLibrary() const { return gui_subjob_display_library_; }
  const TqString& guiSubmitBinding() const { return gui_submit_binding_; }
  const TqString& guiSubmitLibrary() const { return gui_submit_library_; }
  const TqString& submitBinding() const { return submit_binding_; }
  const TqString& submitLibrary() const { return submit_library_; }
  const TqString& executeBinding() const { return execute_binding_; }
  const TqString& executeLibrary() const { return execute_library_; }
  const TqString& displayBinding() const { return display_binding_; }
  const TqString& displayLibrary() const { return display_library_; }
  const TqString& parentType() const { return parent_type_; }
  const TqString& detail() const { return detail_; }
  const TqString& shortDetail() const { return short_detail_; }
  const TqString& version() const { return version_; }

  // Job defaults, as texts; the submission call converts and applies them.
  const TqString& jobPriority() const { return job_priority_; }
  const TqString& jobCluster() const { return job_cluster_; }
  const TqString& jobRequirements() const { return job_requirements_; }
  const TqString& jobRestrictions() const { return job_restrictions_; }
  const TqString& jobReservations() const { return job_reservations_; }
  const TqString& jobKind() const { return job_kind_; }
  const TqString& jobLabel() const { return job_label_; }
  const TqString& jobAccount() const { return job_account_; }
  const TqString& jobHosts() const { return job_hosts_; }
  const TqString& jobGroups() const { return job_groups_; }
  const TqString& jobFlags() const { return job_flags_; }
  const TqString& jobCpus() const { return job_cpus_; }
  const TqString& jobName() const { return job_name_; }
  const TqString& jobStatus() const { return job_status_; }

  // The version check's conversion: true, with the value, when `text` is a plain decimal
  // number (see above); false otherwise.
  static bool versionNumber(const TqString& text, float& number);

 private:
  // The type's directory along the path; empty when there is none.
  static TqString findDirectory(const TqString& name, const TqString& search_path);
  // Reads `directory`/job.conf into this type.
  void load(const TqString& directory);
  void checkVersions();
  void readKeys();

  bool valid_ = false;
  bool read_ = false;
  TqString problem_;
  TqString name_;
  TqString search_path_;
  TqString directory_;
  ConfigRecord config_;

  TqString minimum_version_;
  TqString required_version_;
  TqString callback_library_;
  TqString gui_icon_;
  TqString gui_job_display_binding_;
  TqString gui_job_display_library_;
  TqString gui_subjob_display_binding_;
  TqString gui_subjob_display_library_;
  TqString gui_submit_binding_;
  TqString gui_submit_library_;
  TqString submit_binding_;
  TqString submit_library_;
  TqString execute_binding_;
  TqString execute_library_;
  TqString display_binding_;
  TqString display_library_;
  TqString parent_type_;
  TqString detail_;
  TqString short_detail_;
  TqString version_;
  TqString job_priority_;
  TqString job_cluster_;
  TqString job_requirements_;
  TqString job_restrictions_;
  TqString job_reservations_;
  TqString job_kind_;
  TqString job_label_;
  TqString job_account_;
  TqString job_hosts_;
  TqString job_groups_;
  TqString job_flags_;
  TqString job_cpus_;
  TqString job_name_;
  TqString job_status_;
};

// Splits a search path at ';', skipping empty elements.
std::vector<TqString> splitSearchPath(const TqString& search_path);

}  // namespace tq
