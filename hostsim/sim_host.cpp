#include "hostsim/sim_host.h"

namespace tq::hostsim {

namespace {

SimHost* g_current = nullptr;

tq_HostError acquireSuite(const char* name, int32_t version, const void** suite) {
  if (g_current == nullptr) return kSimError;
  return g_current->acquire(name, version, suite);
}

tq_HostError releaseSuite(const char* name, int32_t version) {
  if (g_current == nullptr) return kSimError;
  return g_current->release(name, version);
}

const tq_BasicSuite kBasicSuite = {acquireSuite, releaseSuite};

std::string suiteKey(const char* name, int32_t version) {
  return std::string(name) + " " + std::to_string(version);
}

}  // namespace

const Entry* DialogItem::selectedEntry() const {
  for (const auto& e : entries)
    if (e->selected) return e.get();
  return nullptr;
}

SimHost::SimHost() : previous_(g_current) { g_current = this; }
SimHost::~SimHost() { g_current = previous_; }

SimHost* SimHost::current() { return g_current; }
const tq_BasicSuite* SimHost::basicSuite() const { return &kBasicSuite; }

void SimHost::addItem(int32_t type, const std::string& name) {
  auto item = std::make_unique<ProjectItem>();
  item->type = type;
  item->name = name;
  project_items.push_back(std::move(item));
}

MenuCommand* SimHost::command(tq_Command id) {
  for (MenuCommand& c : commands)
    if (c.id == id) return &c;
  return nullptr;
}

MenuCommand* SimHost::commandNamed(const std::string& name) {
  for (MenuCommand& c : commands)
    if (c.name == name) return &c;
  return nullptr;
}

Dialog* SimHost::liveDialog() {
  for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it)
    if (!(*it)->destroyed) return it->get();
  return nullptr;
}

int32_t SimHost::liveDialogCount() const {
  int32_t n = 0;
  for (const auto& d : dialogs) n += d->destroyed ? 0 : 1;
  return n;
}

void SimHost::failSuite(const std::string& name, SuiteFailure how) { failing_suites_[name] = how; }
void SimHost::failCall(const std::string& call, int32_t after) {
  failing_calls_[call] = after;
  call_counts_[call] = 0;
}
void SimHost::clearFailures() {
  failing_suites_.clear();
  failing_calls_.clear();
}

bool SimHost::failing(const char* call) {
  int32_t n = ++call_counts_[call];
  auto it = failing_calls_.find(call);
  return it != failing_calls_.end() && n > it->second;
}

int32_t SimHost::callCount(const std::string& call) const {
  auto it = call_counts_.find(call);
  return it == call_counts_.end() ? 0 : it->second;
}

int32_t SimHost::outstanding() const {
  int32_t n = 0;
  for (const auto& [name, count] : held_) n += count;
  return n;
}

int32_t SimHost::acquisitions(const std::string& name) const {
  auto it = acquired_.find(name);
  return it == acquired_.end() ? 0 : it->second;
}

int32_t SimHost::releases(const std::string& name) const {
  auto it = released_.find(name);
  return it == released_.end() ? 0 : it->second;
}

tq_HostError SimHost::acquire(const char* name, int32_t version, const void** suite) {
  if (name == nullptr || suite == nullptr) return kSimError;
  *suite = nullptr;
  auto failure = failing_suites_.find(name);
  if (failure != failing_suites_.end()) {
    // An empty answer: success, but no suite.
    return failure->second == SuiteFailure::kEmpty ? TQ_HOST_OK : kSimError;
  }
  const void* table = suiteTable(name, version);
  if (table == nullptr) {
    unknown_requests.push_back(suiteKey(name, version));
    return kSimError;
  }
  *suite = table;
  ++acquired_[name];
  ++held_[suiteKey(name, version)];
  return TQ_HOST_OK;
}

tq_HostError SimHost::release(const char* name, int32_t version) {
  if (name == nullptr) return kSimError;
  auto it = held_.find(suiteKey(name, version));
  if (it == held_.end() || it->second == 0) {
    ++unbalanced_releases;
    return kSimError;
  }
  --it->second;
  ++released_[name];
  return TQ_HOST_OK;
}

DialogItem* SimHost::item(tq_ItemRef ref) {
  for (const auto& d : dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      if (reinterpret_cast<tq_ItemRef>(i.get()) == ref) return i.get();
  }
  return nullptr;
}

Dialog* SimHost::dialog(tq_DialogRef ref) {
  for (const auto& d : dialogs)
    if (!d->destroyed && reinterpret_cast<tq_DialogRef>(d.get()) == ref) return d.get();
  return nullptr;
}

Entry* SimHost::entry(tq_EntryRef ref) {
  for (const auto& d : dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      for (const auto& e : i->entries)
        if (reinterpret_cast<tq_EntryRef>(e.get()) == ref) return e.get();
  }
  return nullptr;
}

ProjectItem* SimHost::projectItem(tq_ProjectItemRef ref) {
  for (const auto& i : project_items)
    if (reinterpret_cast<tq_ProjectItemRef>(i.get()) == ref) return i.get();
  return nullptr;
}

// The one project is the host itself.
tq_ProjectRef SimHost::projectRef() const {
  return reinterpret_cast<tq_ProjectRef>(const_cast<SimHost*>(this));
}
bool SimHost::isProject(tq_ProjectRef ref) const { return ref == projectRef(); }

}  // namespace tq::hostsim
