#include "hostsim/sim_host.h"

#include <cstdio>
#include <cstring>

namespace tq::hostsim {

namespace {

SimHost* g_current = nullptr;

std::string suiteKey(const char* name, int32_t version) {
  return std::string(name) + " " + std::to_string(version);
}

bool isType(const DialogItem& item, const char* type) { return item.type == type; }

}  // namespace

// The broker's table (sim_suites.cpp).
SPBasicSuite* brokerTable();

const Entry* DialogItem::selectedEntry() const {
  for (const auto& e : entries)
    if (e->selected) return e.get();
  return nullptr;
}

bool DialogItem::hasList() const {
  return isType(*this, kADMListBoxType) || isType(*this, kADMPopupListType) ||
         isType(*this, kADMTextEditPopupType);
}

SimHost::SimHost() : previous_(g_current) { g_current = this; }
SimHost::~SimHost() { g_current = previous_; }

SimHost* SimHost::current() { return g_current; }
SPBasicSuite* SimHost::basicSuite() const { return brokerTable(); }

void SimHost::addItem(AEGP_ItemType type, const std::string& name) {
  auto item = std::make_unique<ProjectItem>();
  item->type = type;
  item->name = name;
  project_items.push_back(std::move(item));
}

MenuCommand* SimHost::command(AEGP_Command id) {
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

void SimHost::defaultNotify(Notifier& notifier) {
  DialogItem* i = notifier.item;
  if (notifier.defaulted || i == nullptr) return;
  notifier.defaulted = true;
  if (notifier.type != kADMUserChangedNotifier) return;
  if (isType(*i, kADMTextRadioButtonType)) {
    // A radio group: the other radio buttons of its window go off.
    for (const auto& d : dialogs) {
      bool holds = false;
      for (const auto& other : d->items) holds = holds || other.get() == i;
      if (!holds) continue;
      for (const auto& other : d->items)
        if (isType(*other, kADMTextRadioButtonType)) other->on = other.get() == i;
    }
  }
  if (notifier.picked != nullptr && i->hasList()) {
    for (const auto& e : i->entries) e->selected = e.get() == notifier.picked;
    if (!isType(*i, kADMListBoxType)) i->text = notifier.picked->text;
  }
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

void SimHost::trapped(const std::string& what) {
  traps.push_back(what);
  if (print_problems) std::fprintf(stderr, "host simulator: TRAP: %s\n", what.c_str());
}

void SimHost::misused(const char* call) {
  misuses.push_back(std::string(call) + " was given a reference the host does not know");
  if (print_problems) std::fprintf(stderr, "host simulator: %s\n", misuses.back().c_str());
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

SPErr SimHost::acquire(const char* name, int32_t version, const void** suite) {
  if (name == nullptr || suite == nullptr) return kSPSuiteNotFoundError;
  *suite = nullptr;
  auto failure = failing_suites_.find(name);
  if (failure != failing_suites_.end()) {
    // An empty answer: success, but no suite.
    return failure->second == SuiteFailure::kEmpty ? kSPNoError : kSPSuiteNotFoundError;
  }
  const void* table = suiteTable(name, version);
  if (table == nullptr) {
    unknown_requests.push_back(suiteKey(name, version));
    return kSPSuiteNotFoundError;
  }
  *suite = table;
  ++acquired_[name];
  ++held_[suiteKey(name, version)];
  return kSPNoError;
}

SPErr SimHost::release(const char* name, int32_t version) {
  if (name == nullptr) return kSPSuiteNotFoundError;
  auto it = held_.find(suiteKey(name, version));
  if (it == held_.end() || it->second == 0) {
    ++unbalanced_releases;
    return kSPSuiteNotFoundError;
  }
  --it->second;
  ++released_[name];
  return kSPNoError;
}

DialogItem* SimHost::item(ADMItemRef ref) {
  for (const auto& d : dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      if (reinterpret_cast<ADMItemRef>(i.get()) == ref) return i.get();
  }
  return nullptr;
}

Dialog* SimHost::dialog(ADMDialogRef ref) {
  for (const auto& d : dialogs)
    if (!d->destroyed && reinterpret_cast<ADMDialogRef>(d.get()) == ref) return d.get();
  return nullptr;
}

Entry* SimHost::entry(ADMEntryRef ref) {
  for (const auto& d : dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      for (const auto& e : i->entries)
        if (reinterpret_cast<ADMEntryRef>(e.get()) == ref) return e.get();
  }
  return nullptr;
}

// A list is its item.
DialogItem* SimHost::listItem(ADMListRef ref) {
  DialogItem* i = item(reinterpret_cast<ADMItemRef>(ref));
  return i != nullptr && i->hasList() ? i : nullptr;
}

DialogItem* SimHost::ownerOf(const Entry* entry) {
  for (const auto& d : dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      for (const auto& e : i->entries)
        if (e.get() == entry) return i.get();
  }
  return nullptr;
}

ProjectItem* SimHost::projectItem(AEGP_ItemH ref) {
  if (reinterpret_cast<ProjectItem*>(ref) == &root_folder) return &root_folder;
  for (const auto& i : project_items)
    if (reinterpret_cast<AEGP_ItemH>(i.get()) == ref) return i.get();
  return nullptr;
}

// The one project is the host itself.
AEGP_ProjectH SimHost::projectRef() const {
  return reinterpret_cast<AEGP_ProjectH>(const_cast<SimHost*>(this));
}
bool SimHost::isProject(AEGP_ProjectH ref) const { return ref == projectRef(); }

std::string kindName(const std::string& type) {
  static const struct {
    const char* type;
    const char* name;
  } kNames[] = {
      {kADMTextStaticType, "static-text"},
      {kADMListBoxType, "list-box"},
      {kADMTextEditType, "text-edit"},
      {kADMTextPushButtonType, "push-button"},
      {kADMTextEditPopupType, "text-edit-popup"},
      {kADMTextRadioButtonType, "radio-button"},
      {kADMPopupListType, "popup-list"},
      {kADMTextEditMultiLineType, "text-edit-multiline"},
  };
  for (const auto& n : kNames)
    if (type == n.type) return n.name;
  return type;
}

bool editable(const std::string& type) {
  return type == kADMTextEditType || type == kADMTextEditPopupType ||
         type == kADMTextEditMultiLineType;
}

}  // namespace tq::hostsim
