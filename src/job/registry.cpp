#include "records/registry.h"

#include <algorithm>
#include <iterator>

#include "platform/log_sink.h"
#include "records/basic_records.h"
#include "records/file_record.h"

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

// Sorted by class id. Only these classes can be a message's content.
constexpr Registration kRegistry[] = {
    {JobIdList::kClassId, make<JobIdList>},
    {JobId::kClassId, make<JobId>},
    {Time::kClassId, make<Time>},
    {ErrorText::kClassId, make<ErrorText>},
    {StringList::kClassId, make<StringList>},
    {StringHash::kClassId, make<StringHash>},
    {FileRecord::kClassId, make<FileRecord>},
    {MacAddress::kClassId, make<MacAddress>},
};

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
