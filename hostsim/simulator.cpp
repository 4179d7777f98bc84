#include "hostsim/simulator.h"

#include <cstdio>

namespace tq::hostsim {

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

bool Simulator::fail(const std::string& why) {
  error_ = why;
  return false;
}

void Simulator::afterCallback() {
  if (host_.outstanding() != 0) ++unbalanced_callbacks_;
}

bool Simulator::load(const std::string& path, int32_t major, int32_t minor, AEGP_PluginID plugin) {
  if (!library_.open(path)) return fail("cannot load " + path + ": " + library_.error());
  void* address = library_.symbol(kEntryPointName);
  if (address == nullptr)
    return fail(std::string("no ") + kEntryPointName + " in " + path + ": " + library_.error());
  auto entry = reinterpret_cast<AEGP_GPMainFunc>(address);
  // On Windows the plug-in's resources are in its own file.
  entry_result_ = entry(host_.basicSuite(), major, minor, path.c_str(), path.c_str(), plugin,
                        &host_.global_refcon);
  afterCallback();
  return true;
}

Simulator::CommandResult Simulator::chooseCommand(AEGP_Command command) {
  CommandResult result;
  // Hooks may register more hooks; walk over a copy.
  std::vector<CommandHookEntry> hooks = host_.command_hooks;
  auto run = [&](AEGP_HookPriority priority) {
    for (const CommandHookEntry& h : hooks) {
      if (h.priority != priority) continue;
      if (h.command != AEGP_Command_ALL && h.command != command) continue;
      A_Boolean handled = 0;
      A_Err err =
          h.hook(host_.global_refcon, h.refcon, command, priority, result.handled, &handled);
      afterCallback();
      if (err != A_Err_NONE && result.error == A_Err_NONE) result.error = err;
      if (handled) result.handled = true;
    }
  };
  run(AEGP_HP_BeforeAE);
  bool by_hook = result.handled;
  if (!by_hook) host_handled_.push_back(command);
  result.handled = true;  // by a hook or by the host, for the hooks that come after
  run(AEGP_HP_AfterAE);
  result.handled = by_hook;
  return result;
}

bool Simulator::chooseMenu(const std::string& name, CommandResult* result) {
  MenuCommand* c = host_.commandNamed(name);
  if (c == nullptr) return fail("no menu command \"" + name + "\"");
  if (!c->enabled) return fail("the menu command \"" + name + "\" is disabled");
  CommandResult r = chooseCommand(c->id);
  if (result != nullptr) *result = r;
  return true;
}

A_Err Simulator::updateMenus() {
  A_Err first = A_Err_NONE;
  std::vector<UpdateMenuHookEntry> hooks = host_.update_hooks;
  for (const UpdateMenuHookEntry& h : hooks) {
    A_Err err = h.hook(host_.global_refcon, h.refcon, host_.active_window);
    afterCallback();
    if (err != A_Err_NONE && first == A_Err_NONE) first = err;
  }
  return first;
}

void Simulator::notify(DialogItem& item, Entry* picked) {
  Notifier notifier;
  notifier.item = &item;
  notifier.picked = picked;
  if (item.notify == nullptr) {
    host_.defaultNotify(notifier);
    return;
  }
  item.notify(reinterpret_cast<ADMItemRef>(&item), reinterpret_cast<ADMNotifierRef>(&notifier));
  afterCallback();
  if (!notifier.defaulted) ++undefaulted_;
}

DialogItem* Simulator::item(int32_t number) {
  Dialog* d = host_.liveDialog();
  if (d == nullptr || number < 1 || number > static_cast<int32_t>(d->items.size())) return nullptr;
  return d->items[static_cast<size_t>(number - 1)].get();
}

bool Simulator::click(int32_t number) {
  DialogItem* i = item(number);
  if (i == nullptr) return fail("no item " + std::to_string(number) + " in an open window");
  if (!i->enabled) return fail("item " + std::to_string(number) + " is disabled");
  if (i->type != kADMTextRadioButtonType && i->type != kADMTextPushButtonType)
    return fail("item " + std::to_string(number) + " is a " + kindName(i->type) + ", not a button");
  notify(*i, nullptr);
  return true;
}

bool Simulator::type(int32_t number, const std::string& text) {
  DialogItem* i = item(number);
  if (i == nullptr) return fail("no item " + std::to_string(number) + " in an open window");
  if (!i->enabled) return fail("item " + std::to_string(number) + " is disabled");
  if (!editable(i->type))
    return fail("item " + std::to_string(number) + " is a " + kindName(i->type) +
                ", which takes no typing");
  i->text = text;
  return true;
}

bool Simulator::pick(int32_t number, const std::string& entry_text) {
  DialogItem* i = item(number);
  if (i == nullptr) return fail("no item " + std::to_string(number) + " in an open window");
  if (!i->enabled) return fail("item " + std::to_string(number) + " is disabled");
  Entry* chosen = nullptr;
  for (const auto& e : i->entries)
    if (e->text == entry_text) chosen = e.get();
  if (chosen == nullptr)
    return fail("item " + std::to_string(number) + " has no entry " + quoted(entry_text));
  notify(*i, chosen);
  return true;
}

std::string Simulator::itemTable() {
  Dialog* d = host_.liveDialog();
  if (d == nullptr) return "";
  std::string out;
  char line[160];
  std::snprintf(line, sizeof line, "window %s style %d size %dx%d %s\n", quoted(d->name).c_str(),
                d->style, d->width, d->height, d->shown ? "shown" : "hidden");
  out += line;
  std::vector<ADMItemNotifyProc> procs;
  for (size_t n = 0; n < d->items.size(); ++n) {
    const DialogItem& i = *d->items[n];
    std::snprintf(line, sizeof line, "%2zu %-19s %3d,%3d,%3d,%3d ", n + 1, kindName(i.type).c_str(),
                  i.rect.left, i.rect.top, i.rect.right, i.rect.bottom);
    out += line;
    out += quoted(i.text);
    out += i.enabled ? " enabled" : " disabled";
    if (i.type == kADMTextRadioButtonType) out += i.on ? " on" : " off";
    if (i.notify != nullptr) {
      size_t k = 0;
      while (k < procs.size() && procs[k] != i.notify) ++k;
      if (k == procs.size()) procs.push_back(i.notify);
      out += " notify=";
      out += static_cast<char>('A' + k);
    }
    if (!i.entries.empty()) {
      out += " entries:";
      for (const auto& e : i.entries) {
        out += ' ';
        out += quoted(e->text);
        if (e->selected) out += '*';
      }
    }
    out += '\n';
  }
  return out;
}

}  // namespace tq::hostsim
