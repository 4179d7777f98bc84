// The registry table. It sits with the job record because several registered classes (the job,
// the records that carry jobs, the configuration records) live above the record layer;
// job/registry.h declares the lookups.
#include "job/registry.h"

#include <algorithm>
#include <iterator>

#include "config/config_record.h"
#include "job/job.h"
#include "job/job_records.h"
#include "platform/log_sink.h"
#include "records/basic_records.h"
#include "records/catalogue_access.h"
#include "records/catalogue_events.h"
#include "records/catalogue_hosts.h"
#include "records/catalogue_jobs.h"
#include "records/catalogue_misc.h"
#include "records/catalogue_queries.h"
#include "records/catalogue_resources.h"
#include "records/catalogue_work.h"
#include "records/file_record.h"
#include "records/options.h"

namespace tq {
namespace {

using Factory = std::unique_ptr<Object> (*)();

template <class T>
std::unique_ptr<Object> make() {
  return std::make_unique<T>();
}

struct Registration {
  int32_t class_id;
  Factory factory;
};

template <class T>
constexpr Registration entry() {
  return Registration{T::kClassId, make<T>};
}

// Sorted by class id. Only these classes can be a message's content; every other class exists
// only inside other records. Of the two "command" classes both are here (30 and 48); of the two
// "config_list" shapes only the list.
constexpr Registration kRegistry[] = {
    entry<Job>(),               // 1
    entry<Subjob>(),            // 4
    entry<JobList>(),           // 5
    entry<Host>(),              // 9
    entry<ResourceList>(),      // 11
    entry<HostList>(),          // 12
    entry<Work>(),              // 14
    entry<WorkList>(),          // 15
    entry<Event>(),             // 16
    entry<EventList>(),         // 17
    entry<JobIdList>(),         // 18
    entry<JobId>(),             // 19
    entry<FilterList>(),        // 21
    entry<Query>(),             // 24
    entry<Assignment>(),        // 25
    entry<AssignmentList>(),    // 26
    entry<ReservationList>(),   // 28
    entry<Command>(),           // 30
    entry<StatusTally>(),       // 32
    entry<Time>(),              // 33
    entry<History>(),           // 34
    entry<HistoryList>(),       // 35
    entry<Log>(),               // 36
    entry<LogList>(),           // 37
    entry<DataTable>(),         // 38
    entry<DataTableList>(),     // 39
    entry<Report>(),            // 43
    entry<DutyList>(),          // 45
    entry<CallbackList>(),      // 47
    entry<CommandWithJob>(),    // 48
    entry<ConfigRecord>(),      // 50
    entry<ConfigList>(),        // 51
    entry<ErrorText>(),         // 52
    entry<OptionList>(),        // 54
    entry<StringList>(),        // 55
    entry<StringHash>(),        // 56
    entry<WorkId>(),            // 59
    entry<WorkIdList>(),        // 60
    entry<Domain>(),            // 62
    entry<HostName>(),          // 63
    entry<HostNameList>(),      // 64
    entry<ResourceHash>(),      // 67
    entry<BumpCommand>(),       // 69
    entry<PropertyList>(),      // 91
    entry<PropertyHash>(),      // 92
    entry<Request>(),           // 93
    entry<RequestList>(),       // 94
    entry<Access>(),            // 95
    entry<AccessList>(),        // 96
    entry<FileRecord>(),        // 105
    entry<FileList>(),          // 119
    entry<Variable>(),          // 120
    entry<VariableList>(),      // 121
    entry<VariableId>(),        // 130
    entry<OperationIdList>(),   // 132
    entry<Post>(),              // 133
    entry<PostList>(),          // 134
    entry<Subscription>(),      // 152
    entry<SubscriptionList>(),  // 153
    entry<MacAddress>(),        // 155
    entry<Order>(),             // 169
    entry<Intro>(),             // 170
    entry<Sync>(),              // 171
    entry<Supe>(),              // 172
    entry<SupeList>(),          // 173
    entry<ErrorRecord>(),       // 175
    entry<HostStats>(),         // 181
};

constexpr bool strictlyAscending() {
  for (size_t i = 1; i < std::size(kRegistry); ++i)
    if (kRegistry[i - 1].class_id >= kRegistry[i].class_id) return false;
  return true;
}
static_assert(std::size(kRegistry) == 67, "the registry holds exactly 67 classes");
static_assert(strictlyAscending(), "the registry is sorted by class id, without repeats");

const Registration* findRegistration(int32_t class_id) {
  auto it = std::lower_bound(std::begin(kRegistry), std::end(kRegistry), class_id,
                             [](const Registration& r, int32_t id) { return r.class_id < id; });
  return it != std::end(kRegistry) && it->class_id == class_id ? it : nullptr;
}

}  // namespace

bool isRegisteredClass(int32_t class_id) { return findRegistration(class_id) != nullptr; }

std::unique_ptr<Object> createRecord(int32_t class_id) {
  if (const Registration* r = findRegistration(class_id)) return r->factory();
  LogLock lock;
  logSink().write("trying to decode unregistered class: ").write(class_id).write("\n");
  return nullptr;
}

}  // namespace tq
