// The actions of a tq-hostsim script, one per word or line: "verb" or "verb:argument"
// (comp:NAME, click:N, type:N=TEXT, ...). They are one table in script.cpp, from which
// actionHelp() makes the help.
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

// One line per action: its syntax and what it does.
std::string actionHelp();

// The menu state line: "menu: \"Kerv! Render\" enabled" (or disabled, or absent).
std::string menuState(SimHost& host);
// The results box's text in quotes, with CR and LF shown as \r and \n.
std::string resultsText(Simulator& sim);

}  // namespace tq::hostsim
