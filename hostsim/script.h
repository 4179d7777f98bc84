// The actions of a tq-hostsim script, one per word or line:
//   comp:NAME            add a composition to the project
//   footage:NAME         add an item that is not a composition
//   update               the host updates its menus; prints the command's state
//   choose               choose "Kerv! Render" (it must be enabled)
//   command:N            choose the host command N
//   click:N              click item N (a button or radio button)
//   type:N=TEXT          type TEXT into item N (an edit field), replacing its text
//   pick:N=TEXT          pick the entry TEXT of item N (a list or popup)
//   answer:PATH          the next file dialog confirms PATH
//   cancel               the next file dialog is cancelled
//   submit               press "Submit Job"
//   items                print the window's item table
//   results              print the results box
#pragma once

#include <cstdio>
#include <string>

#include "hostsim/simulator.h"

namespace tq::hostsim {

inline constexpr const char* kCommandName = "Kerv! Render";

// Runs one action, printing what it shows to `out`. False, with the reason in `error`, when
// the action is unknown or cannot be done.
bool runAction(Simulator& sim, SimHost& host, const std::string& action, std::FILE* out,
               std::string& error);

// The menu state line: "menu: \"Kerv! Render\" enabled" (or disabled, or absent).
std::string menuState(SimHost& host);
// The results box's text in quotes, with CR and LF shown as \r and \n.
std::string resultsText(Simulator& sim);

}  // namespace tq::hostsim
