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

namespace {

struct Context {
  Simulator& sim;
  SimHost& host;
  std::FILE* out;
  const std::string& action;
  std::string& error;

  bool bad(const char* why) {
    error = "'" + action + "': " + why;
    return false;
  }
  bool done(bool ok) {
    if (!ok) error = "'" + action + "': " + sim.error();
    return ok;
  }
};

// One action: the verb before ':', whether it takes what follows, its syntax and help, and
// what it does. The help of tq-hostsim is made from these rows.
struct ActionRow {
  const char* verb;
  bool takes_argument;
  const char* syntax;
  const char* help;
  bool (*run)(Context& c, const std::string& argument);
};

bool addItem(Context& c, const std::string& arg, AEGP_ItemType type) {
  if (arg.empty()) return c.bad("needs a name (comp:NAME)");
  c.host.addItem(type, arg);
  return true;
}

bool withNumber(Context& c, const std::string& arg, const char* syntax, int32_t& number) {
  if (itemNumber(arg, number)) return true;
  c.error = "'" + c.action + "': needs " + syntax;
  return false;
}

bool withNumberAndText(Context& c, const std::string& arg, const char* syntax, int32_t& number,
                       std::string& text) {
  if (numberAndText(arg, number, text)) return true;
  c.error = "'" + c.action + "': needs " + syntax;
  return false;
}

const ActionRow kActions[] = {
    {"comp", true, "comp:NAME", "add a composition to the project",
     [](Context& c, const std::string& a) { return addItem(c, a, AEGP_ItemType_COMP); }},
    {"footage", true, "footage:NAME", "add an item that is not a composition",
     [](Context& c, const std::string& a) { return addItem(c, a, AEGP_ItemType_FOOTAGE); }},
    {"update", false, "update", "the host updates its menus (prints the command's state)",
     [](Context& c, const std::string&) {
       A_Err err = c.sim.updateMenus();
       std::fprintf(c.out, "%s\n", menuState(c.host).c_str());
       if (err != A_Err_NONE) std::fprintf(c.out, "update-menu hook answered error %d\n", err);
       return true;
     }},
    {"choose", false, "choose", "choose \"Kerv! Render\" (it must be enabled)",
     [](Context& c, const std::string&) {
       Simulator::CommandResult result;
       if (!c.sim.chooseMenu(kCommandName, &result)) return c.done(false);
       if (result.error != A_Err_NONE)
         std::fprintf(c.out, "command hook answered error %d\n", result.error);
       std::fprintf(c.out, "%s\n", c.host.liveDialog() != nullptr ? "window open" : "no window");
       return true;
     }},
    {"command", true, "command:N", "choose the host command N",
     [](Context& c, const std::string& a) {
       int32_t number = 0;
       if (!withNumber(c, a, "a command number (command:N)", number)) return false;
       Simulator::CommandResult result = c.sim.chooseCommand(number);
       std::fprintf(c.out, "command %d %s\n", number,
                    result.handled ? "handled by the plug-in" : "left to the host");
       return true;
     }},
    {"click", true, "click:N", "click item N (13 and 14 are the radio buttons, 5 Browse...)",
     [](Context& c, const std::string& a) {
       int32_t number = 0;
       return withNumber(c, a, "an item number (click:N)", number) && c.done(c.sim.click(number));
     }},
    {"type", true, "type:N=TEXT",
     "type into item N, replacing its text (16 Name, 4 Output File,\n11 Frame Range ...)",
     [](Context& c, const std::string& a) {
       int32_t number = 0;
       std::string text;
       return withNumberAndText(c, a, "an item and a text (type:N=TEXT)", number, text) &&
              c.done(c.sim.type(number, text));
     }},
    {"pick", true, "pick:N=TEXT",
     "pick the entry TEXT of item N (2 compositions, 7, 9 templates,\n18 Status)",
     [](Context& c, const std::string& a) {
       int32_t number = 0;
       std::string text;
       return withNumberAndText(c, a, "an item and an entry (pick:N=TEXT)", number, text) &&
              c.done(c.sim.pick(number, text));
     }},
    {"answer", true, "answer:PATH", "the next file dialog confirms PATH",
     [](Context& c, const std::string& a) {
       c.host.file_answers.push_back({true, a});
       return true;
     }},
    {"cancel", false, "cancel", "the next file dialog is cancelled",
     [](Context& c, const std::string&) {
       c.host.file_answers.push_back({false, ""});
       return true;
     }},
    {"submit", false, "submit", "press \"Submit Job\" (prints the results box)",
     [](Context& c, const std::string&) {
       if (!c.sim.click(plugin::kSubmit)) return c.done(false);
       std::fprintf(c.out, "results: %s\n", resultsText(c.sim).c_str());
       return true;
     }},
    {"items", false, "items", "print the window's item table",
     [](Context& c, const std::string&) {
       std::fputs(c.sim.itemTable().c_str(), c.out);
       return true;
     }},
    {"results", false, "results", "print the results box",
     [](Context& c, const std::string&) {
       std::fprintf(c.out, "results: %s\n", resultsText(c.sim).c_str());
       return true;
     }},
};

}  // namespace

bool runAction(Simulator& sim, SimHost& host, const std::string& action, std::FILE* out,
               std::string& error) {
  size_t colon = action.find(':');
  std::string verb = action.substr(0, colon);
  bool has_argument = colon != std::string::npos;
  std::string argument = has_argument ? action.substr(colon + 1) : "";
  Context context{sim, host, out, action, error};
  for (const ActionRow& row : kActions) {
    if (verb != row.verb) continue;
    // An action without an argument takes none; the others check theirs.
    if (!row.takes_argument && has_argument) break;
    return row.run(context, argument);
  }
  return context.bad("unknown action (see tq-hostsim -help)");
}

std::string actionHelp() {
  std::string out;
  for (const ActionRow& row : kActions) {
    std::string left = std::string("  ") + row.syntax + "  ";
    if (left.size() < 22) left += std::string(22 - left.size(), ' ');
    out += left;
    for (const char* c = row.help; *c != '\0'; ++c) {
      out += *c;
      if (*c == '\n') out += std::string(22, ' ');
    }
    out += '\n';
  }
  return out;
}

}  // namespace tq::hostsim
