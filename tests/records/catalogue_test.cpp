// The record catalogue below the job layer: every class against its published layout, a full
// round trip of each through both forms, and the irregular classes.
#include <gtest/gtest.h>

#include <vector>

#include "records/catalogue_access.h"
#include "records/catalogue_events.h"
#include "records/catalogue_hosts.h"
#include "records/catalogue_jobs.h"
#include "records/catalogue_misc.h"
#include "records/catalogue_queries.h"
#include "records/catalogue_resources.h"
#include "records/catalogue_work.h"
#include "records/options.h"
#include "support/catalogue_check.h"

namespace tq::test {
namespace {

std::vector<CatalogueEntry> catalogue() {
  return {
      // Jobs and their parts.
      catalogueEntry<Status>(2, "status", "1 value integer"),
      catalogueEntry<Subjob>(
          4, "subjob",
          "1 id integer; 2 pid integer; 3 host string; 4 status status; 5 address address; "
          "6 last_update time; 7 data string; 8 result string; 9 mac_address macaddress; "
          "10 retry integer; 11 count integer; 12 seq integer; 13 time_start time; "
          "14 time_complete time"),
      catalogueEntry<JobId>(19, "job_id", "1 id integer; 2 sub_id integer"),
      catalogueEntry<StatusTally>(
          32, "status_tally",
          "0 running integer; 1 blocked integer; 2 complete integer; 3 pending integer; "
          "4 suspended integer; 5 failed integer; 6 killed integer; 7 waiting integer; "
          "8 unknown integer; 9 warning integer; 10 badlogin integer"),
      catalogueEntry<Time>(33, "time", "1 value integer"),
      catalogueEntry<JobStats>(42, "job_stats",
                               "1 job_id integer; 2 sub_id integer; 3 threads integer; "
                               "4 start time; 5 end time; 6 max_memory integer; "
                               "7 max_swap integer; 8 host string"),
      catalogueEntry<Report>(43, "report",
                             "1 job_stats job_stats; 2 subjob subjob; 3 out_log log; "
                             "4 err_log log"),
      catalogueEntry<JobLink>(111, "job_link", "1 start string; 2 end string"),
      // Work, assignments, variables and callbacks.
      catalogueEntry<Work>(
          14, "work",
          "1 name string; 2 sub_id integer; 3 host string; 4 status status; 5 address address; "
          "6 pid integer; 7 data string; 8 id integer; 9 result string; 10 retry integer; "
          "11 count integer; 12 dependency string; 13 percent integer; 14 last_update time; "
          "15 seq integer; 16 time_start time; 17 time_complete time; "
          "18 mac_address macaddress"),
      catalogueEntry<WorkId>(59, "work_id", "1 id integer; 2 name string; 3 work_id integer"),
      catalogueEntry<Variable>(120, "variable",
                               "1 pid integer; 2 name string; 3 value string; 4 cls integer; "
                               "5 last_update time"),
      catalogueEntry<VariableId>(130, "variable_id", "1 pid integer; 2 name string; 3 cls integer"),
      catalogueEntry<Post>(133, "post",
                           "1 id integer; 2 pid integer; 3 address address; 4 port integer; "
                           "5 triggers string"),
      catalogueEntry<Callback>(46, "callback",
                               "1 id integer; 2 language integer; 3 code string; "
                               "4 count integer; 5 max integer; 6 triggers string; "
                               "8 ready string; 9 user string; 10 pid integer; "
                               "11 lastupdate time"),
      catalogueEntry<Log>(36, "log",
                          "1 job_id integer; 2 sub_id integer; 3 data string; 4 cls integer; "
                          "5 host string; 6 work_id integer; 7 work_name string"),
      // Hosts and supervisors.
      catalogueEntry<Host>(
          9, "host",
          "2 name string; 3 address address; 5 cluster string; 6 state state; "
          "7 resources string; 12 flags integer; 13 properties string; 14 stats string; "
          "15 restrictions string; 16 groups string; 17 subjobs subjob_list; 18 locks string; "
          "19 reason string; 20 description string; 21 mac_address macaddress; "
          "22 job_types string; 23 last_update time"),
      catalogueEntry<HostName>(63, "host_name", "1 host string; 2 port integer; 3 id integer"),
      catalogueEntry<HostStats>(181, "host_stats",
                                "1 mac_address macaddress; 2 user_load integer; "
                                "3 system_load integer; 4 user_memory integer; "
                                "5 system_memory integer; 6 user_swap integer; "
                                "7 system_swap integer"),
      catalogueEntry<State>(8, "state", "1 value integer"),
      catalogueEntry<StateText>(8, "state", "1 value string"),
      catalogueEntry<Address>(13, "address", "1 value integer"),
      catalogueEntry<MacAddress>(155, "macaddress", "1 value string"),
      catalogueEntry<Supe>(172, "supe",
                           "1 name string; 2 address address; 3 state state; 4 flags integer; "
                           "5 id integer; 6 lastsync time; 7 total integer; 8 domain string; "
                           "9 region string"),
      catalogueEntry<Domain>(62, "domain", "1 name string; 2 id integer; 3 region string"),
      catalogueEntry<Subscription>(152, "subscription", "1 port integer; 2 address address"),
      catalogueEntry<Intro>(170, "intro", "1 values string"),
      // Access.
      catalogueEntry<Access>(95, "access",
                             "1 name string; 2 access integer; 5 groups string; "
                             "6 sudo_user_filter string; 7 group_access group_access_list; "
                             "8 sudo_job_filter string; 8 valid integer; 9 lastupdate time"),
      catalogueEntry<GroupAccess>(101, "group_access",
                                  "1 name string; 2 access integer; 3 valid integer; "
                                  "4 lastupdate time; 5 user string"),
      catalogueEntry<Password>(182, "password",
                               "1 user string; 2 domain string; 3 password string; "
                               "4 verified integer; 5 valid integer; 6 lastupdate time"),
      // Resources, properties and reservations.
      catalogueEntry<Resource>(10, "resource",
                               "1 name string; 2 total integer; 3 used integer; 4 cls integer"),
      catalogueEntry<Property>(90, "property", "1 name string; 2 value string; 3 cls integer"),
      catalogueEntry<Reservation>(27, "reservation",
                                  "1 name string; 2 count integer; 3 cls integer; "
                                  "4 maximum integer"),
      catalogueEntry<Request>(93, "request", "1 reservation reservation; 2 subjob subjob"),
      // Queries, filters and commands.
      catalogueEntry<Query>(24, "query", "1 filter_list filter_list; 2 field_list field_list"),
      catalogueEntry<Filter>(20, "filter",
                             "1 name string; 3 neg boolean; 4 fields field_list; "
                             "5 sign character"),
      catalogueEntry<FieldRecord>(22, "field", "1 name string; 2 sign character"),
      catalogueEntry<Order>(169, "order", "1 filter_list filter_list; 2 2 string", false),
      catalogueEntry<Command>(30, "command",
                              "1 filter_list filter_list; 2 job_id_list job_id_list; "
                              "3 work_id_list work_id_list; 4 group_list string_list; "
                              "5 restrictions boolean; 6 limit integer; 7 background boolean"),
      catalogueEntry<BumpCommand>(69, "bump_command", "10 diff integer; 11 direction integer"),
      catalogueEntry<OperationIdList>(132, "operation_id_list",
                                      "1 filter_list filter_list; "
                                      "2 variable_id_list variable_id_list; "
                                      "3 job_id_list job_id_list; 5 restrictions boolean; "
                                      "6 limit integer"),
      // Events, history and tables.
      catalogueEntry<Event>(16, "event",
                            "1 category integer; 2 job_id integer; 3 sub_id integer; "
                            "4 text_id string; 5 start integer; 6 interval integer; "
                            "7 extra string; 8 name string; 9 flag integer; "
                            "10 callback integer; 11 label string; 12 pid integer; "
                            "13 id integer"),
      catalogueEntry<History>(34, "history",
                              "1 job_id integer; 2 sub_id integer; 3 comment string; "
                              "4 stamp time; 5 work_id string"),
      catalogueEntry<DataTable>(38, "data_table",
                                "1 col_labels string_list; 3 row_labels string_list; "
                                "4 data string_list; 7 title string"),
      // Errors and the classes without fields.
      catalogueEntry<ErrorText>(52, "error", "1 value string"),
      catalogueEntry<ErrorRecord>(175, "err", "1 number integer; 2 values macro"),
      catalogueEntry<FileRecord>(105, "file", "0 name string; 1 data string; 2 source string"),
      catalogueEntry<Macro>(98, "macro", "1 value string_hash"),
      catalogueEntry<Option>(53, "option", ""),
      catalogueEntry<MutexRecord>(124, "mutex", ""),
      catalogueEntry<ExpressionRecord>(65, "expression", ""),
      catalogueEntry<Reference>(180, "reference", ""),
      // Lists and hashes.
      catalogueEntry<SubjobList>(6, "subjob_list", "list of subjob"),
      catalogueEntry<ResourceList>(11, "resource_list", "list of resource"),
      catalogueEntry<HostList>(12, "host_list", "list of host"),
      catalogueEntry<WorkList>(15, "work_list", "list of work"),
      catalogueEntry<EventList>(17, "event_list", "list of event"),
      catalogueEntry<JobIdList>(18, "job_id_list", "list of job_id"),
      catalogueEntry<FilterList>(21, "filter_list", "list of filter"),
      catalogueEntry<FieldList>(23, "field_list", "list of field"),
      catalogueEntry<ReservationList>(28, "reservation_list", "list of reservation"),
      catalogueEntry<HistoryList>(35, "history_list", "list of history"),
      catalogueEntry<LogList>(37, "log_list", "list of log"),
      catalogueEntry<DataTableList>(39, "data_table_list", "list of data_table"),
      catalogueEntry<CallbackList>(47, "callback_list", "list of callback"),
      catalogueEntry<OptionList>(54, "option_list", "list of option"),
      catalogueEntry<StringList>(55, "string_list", "list of string"),
      catalogueEntry<WorkIdList>(60, "work_id_list", "list of work_id"),
      catalogueEntry<HostNameList>(64, "host_name_list", "list of host_name"),
      catalogueEntry<ExpressionList>(66, "expression_list", "list of expression"),
      catalogueEntry<ResourceHash>(67, "resource_hash", "hash of resource"),
      catalogueEntry<ReservationHash>(68, "reservation_hash", "hash of reservation"),
      catalogueEntry<WorkHash>(70, "work_hash", "hash of work"),
      catalogueEntry<PropertyList>(91, "property_list", "list of property"),
      catalogueEntry<PropertyHash>(92, "property_hash", "hash of property"),
      catalogueEntry<RequestList>(94, "request_list", "list of request"),
      catalogueEntry<AccessList>(96, "access_list", "list of access"),
      catalogueEntry<GroupAccessList>(102, "group_access_list", "list of group_access"),
      catalogueEntry<JobLinkList>(112, "job_link_list", "list of job_link"),
      catalogueEntry<FileList>(119, "file_list", "list of file"),
      catalogueEntry<VariableList>(121, "variable_list", "list of variable"),
      catalogueEntry<VariableHash>(122, "variable_hash", "hash of variable"),
      catalogueEntry<VariableIdList>(131, "variable_id_list", "list of variable_id"),
      catalogueEntry<PostList>(134, "post_list", "list of post"),
      catalogueEntry<SubscriptionList>(153, "subscription_list", "list of subscription"),
      catalogueEntry<SupeList>(173, "supe_list", "list of supe"),
      catalogueEntry<JobIdHash>(174, "job_id_hash", "hash of job_id"),
      catalogueEntry<IntHash>(176, "int_hash", "hash of integer"),
      catalogueEntry<PasswordList>(183, "password_list", "list of password"),
      catalogueEntry<StringHash>(56, "string_hash", "hash of string"),
  };
}

class CatalogueTest : public ::testing::TestWithParam<CatalogueEntry> {};

TEST_P(CatalogueTest, IdentityAndFieldsMatchThePublishedLayout) { checkIdentity(GetParam()); }
TEST_P(CatalogueTest, FilledRecordSurvivesTheBinaryForm) { checkBinaryRoundTrip(GetParam()); }
TEST_P(CatalogueTest, FilledRecordSurvivesTheTextForm) { checkTextRoundTrip(GetParam()); }
TEST_P(CatalogueTest, BothFormsAreWhatTheFieldTableSays) { checkWrittenAsItsTableSays(GetParam()); }

std::string entryName(const ::testing::TestParamInfo<CatalogueEntry>& param) {
  return std::string(param.param.type_name) + "_" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(Records, CatalogueTest, ::testing::ValuesIn(catalogue()), entryName);

}  // namespace
}  // namespace tq::test
