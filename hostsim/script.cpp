#include "hostsim/script.h"

#include <cerrno>
#include <cstdlib>

#include "plugin/window_items.h"

namespace tq::hostsim {

namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '"' || c == '\\')
      out += std::string("\\") + c;
    else
      out += c;
  }
  return out + "\"";
}

// An item number: decimal digits only, 1 to 999.
bool itemNumber(const std::string& text, int32_t& number) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  number = std::atoi(text.c_str());
  return number >= 1;
}

// "N=TEXT": the number and the text.
bool numberAndText(const std::string& arg, int32_t& number, std::string& text) {
  size_t eq = arg.find('=');
  if (eq == std::string::npos || !itemNumber(arg.substr(0, eq), number)) return false;
  text = arg.substr(eq + 1);
  return true;
}

}  // namespace

std::string menuState(SimHost& host) {
  MenuCommand* c = host.commandNamed(kCommandName);
  if (c == nullptr) return std::string("menu: ") + quoted(kCommandName) + " absent";
  return std::string("menu: ") + quoted(kCommandName) + (c->enabled ? " enabled" : " disabled");
}

std::string resultsText(Simulator& sim) {
  DialogItem* box = sim.item(plugin::kResults);
  return box == nullptr ? "(no window)" : quoted(box->text);
}

bool runAction(Simulator& sim, SimHost& host, const std::string& action, std::FILE* out,
               std::string& error) {
  size_t colon = action.find(':');
  std::string verb = action.substr(0, colon);
  std::string arg = colon == std::string::npos ? "" : action.substr(colon + 1);
  bool has_arg = colon != std::string::npos;
  int32_t number = 0;
  std::string text;
  auto bad = [&](const char* why) {
    error = "'" + action + "': " + why;
    return false;
  };
  auto done = [&](bool ok) {
    if (!ok) error = "'" + action + "': " + sim.error();
    return ok;
  };

  if (verb == "comp" || verb == "footage") {
    if (!has_arg) return bad("needs a name (comp:NAME)");
    host.addItem(verb == "comp" ? AEGP_ItemType_COMP : AEGP_ItemType_FOOTAGE, arg);
    return true;
  }
  if (verb == "update" && !has_arg) {
    A_Err err = sim.updateMenus();
    std::fprintf(out, "%s\n", menuState(host).c_str());
    if (err != A_Err_NONE) std::fprintf(out, "update-menu hook answered error %d\n", err);
    return true;
  }
  if (verb == "choose" && !has_arg) {
    Simulator::CommandResult result;
    if (!sim.chooseMenu(kCommandName, &result)) return done(false);
    if (result.error != A_Err_NONE)
      std::fprintf(out, "command hook answered error %d\n", result.error);
    std::fprintf(out, "%s\n", host.liveDialog() != nullptr ? "window open" : "no window");
    return true;
  }
  if (verb == "command") {
    if (!itemNumber(arg, number)) return bad("needs a command number (command:N)");
    Simulator::CommandResult result = sim.chooseCommand(number);
    std::fprintf(out, "command %d %s\n", number,
                 result.handled ? "handled by the plug-in" : "left to the host");
    return true;
  }
  if (verb == "click") {
    if (!itemNumber(arg, number)) return bad("needs an item number (click:N)");
    return done(sim.click(number));
  }
  if (verb == "type") {
    if (!numberAndText(arg, number, text)) return bad("needs an item and a text (type:N=TEXT)");
    return done(sim.type(number, text));
  }
  if (verb == "pick") {
    if (!numberAndText(arg, number, text)) return bad("needs an item and an entry (pick:N=TEXT)");
    return done(sim.pick(number, text));
  }
  if (verb == "answer") {
    host.file_answers.push_back({true, arg});
    return true;
  }
  if (verb == "cancel" && !has_arg) {
    host.file_answers.push_back({false, ""});
    return true;
  }
  if (verb == "submit" && !has_arg) {
    if (!sim.click(plugin::kSubmit)) return done(false);
    std::fprintf(out, "results: %s\n", resultsText(sim).c_str());
    return true;
  }
  if (verb == "items" && !has_arg) {
    std::fputs(sim.itemTable().c_str(), out);
    return true;
  }
  if (verb == "results" && !has_arg) {
    std::fprintf(out, "results: %s\n", resultsText(sim).c_str());
    return true;
  }
  return bad("unknown action (see tq-hostsim -help)");
}

}  // namespace tq::hostsim
