#include "hostsim/simulator.h"

#include <cstdio>

namespace tq::hostsim {

namespace {

bool editable(int32_t kind) {
  return kind == TQ_ITEM_TEXT_EDIT || kind == TQ_ITEM_TEXT_EDIT_POPUP ||
         kind == TQ_ITEM_TEXT_EDIT_MULTILINE;
}

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

const char* kindName(int32_t kind) {
  switch (kind) {
    case TQ_ITEM_STATIC_TEXT:
      return "static-text";
    case TQ_ITEM_LIST_BOX:
      return "list-box";
    case TQ_ITEM_TEXT_EDIT:
      return "text-edit";
    case TQ_ITEM_TEXT_PUSH_BUTTON:
      return "push-button";
    case TQ_ITEM_TEXT_EDIT_POPUP:
      return "text-edit-popup";
    case TQ_ITEM_RADIO_BUTTON:
      return "radio-button";
    case TQ_ITEM_POPUP_LIST:
      return "popup-list";
    case TQ_ITEM_TEXT_EDIT_MULTILINE:
      return "text-edit-multiline";
  }
  return "unknown";
}

bool Simulator::fail(const std::string& why) {
  error_ = why;
  return false;
}

void Simulator::afterCallback() {
  if (host_.outstanding() != 0) ++unbalanced_callbacks_;
}

bool Simulator::load(const std::string& path, int32_t major, int32_t minor, tq_PluginId plugin) {
  if (!library_.open(path)) return fail("cannot load " + path + ": " + library_.error());
  void* address = library_.symbol(kEntryPointName);
  if (address == nullptr)
    return fail(std::string("no ") + kEntryPointName + " in " + path + ": " + library_.error());
  auto entry = reinterpret_cast<tq_EntryPoint>(address);
  entry_result_ = entry(host_.basicSuite(), major, minor, path.c_str(), "", plugin);
  afterCallback();
  return true;
}

Simulator::CommandResult Simulator::chooseCommand(tq_Command command) {
  CommandResult result;
  // Hooks may register more hooks; walk by index over a copy.
  std::vector<CommandHookEntry> hooks = host_.command_hooks;
  for (const CommandHookEntry& h : hooks) {
    if (h.command != TQ_ALL_COMMANDS && h.command != command) continue;
    tq_Bool handled = 0;
    tq_HostError err = h.hook(h.refcon, command, &handled);
    afterCallback();
    if (err != TQ_HOST_OK && result.error == TQ_HOST_OK) result.error = err;
    if (handled) {
      result.handled = true;
      break;
    }
  }
  if (!result.handled) host_handled_.push_back(command);
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

tq_HostError Simulator::updateMenus() {
  tq_HostError first = TQ_HOST_OK;
  std::vector<UpdateMenuHookEntry> hooks = host_.update_hooks;
  for (const UpdateMenuHookEntry& h : hooks) {
    tq_HostError err = h.hook(h.refcon);
    afterCallback();
    if (err != TQ_HOST_OK && first == TQ_HOST_OK) first = err;
  }
  return first;
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
  if (i->kind != TQ_ITEM_RADIO_BUTTON && i->kind != TQ_ITEM_TEXT_PUSH_BUTTON)
    return fail("item " + std::to_string(number) + " is a " + kindName(i->kind) + ", not a button");
  // The host's own part first: a radio button that is clicked is on.
  if (i->kind == TQ_ITEM_RADIO_BUTTON) i->on = true;
  if (i->notify != nullptr) {
    i->notify(reinterpret_cast<tq_ItemRef>(i));
    afterCallback();
  }
  return true;
}

bool Simulator::type(int32_t number, const std::string& text) {
  DialogItem* i = item(number);
  if (i == nullptr) return fail("no item " + std::to_string(number) + " in an open window");
  if (!i->enabled) return fail("item " + std::to_string(number) + " is disabled");
  if (!editable(i->kind))
    return fail("item " + std::to_string(number) + " is a " + kindName(i->kind) +
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
  for (const auto& e : i->entries) e->selected = e.get() == chosen;
  if (i->kind != TQ_ITEM_LIST_BOX) i->text = chosen->text;
  if (i->notify != nullptr) {
    i->notify(reinterpret_cast<tq_ItemRef>(i));
    afterCallback();
  }
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
  std::vector<tq_NotifyProc> procs;
  for (size_t n = 0; n < d->items.size(); ++n) {
    const DialogItem& i = *d->items[n];
    std::snprintf(line, sizeof line, "%2zu %-19s %3d,%3d,%3d,%3d ", n + 1, kindName(i.kind),
                  i.rect.left, i.rect.top, i.rect.right, i.rect.bottom);
    out += line;
    out += quoted(i.text);
    out += i.enabled ? " enabled" : " disabled";
    if (i.kind == TQ_ITEM_RADIO_BUTTON) out += i.on ? " on" : " off";
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
