// Budget cases for the configuration readers: "tq.conf" and the other flat files, sectioned
// files (path maps, callbacks), expressions, the env text form and configuration templates.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "budget/budget.h"
#include "config/client_config.h"
#include "config/config_record.h"
#include "config/env_record.h"
#include "config/expression.h"
#include "config/sectioned_config.h"
#include "platform/directories.h"
#include "platform/environment.h"

namespace {

// Repeats `unit` until the text holds about `bytes` bytes (at least once).
std::string repeated(const std::string& unit, size_t bytes) {
  std::string out;
  out.reserve(bytes + unit.size());
  do {
    out += unit;
  } while (out.size() + unit.size() <= bytes);
  return out;
}

// Writes `text` as tq.conf into a directory of its own, points the Windows directory there and
// builds the client configuration from it. Writing the file costs no memory that counts.
void readClientConfig(const std::string& text) {
  namespace fs = std::filesystem;
  fs::path dir =
      fs::temp_directory_path() /
      ("tq-budget-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  std::string file = (dir / "tq.conf").string();
  if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  tq::platform::setEnvironmentVariable(tq::platform::kWindowsDirectoryVariable, dir.string());
  {
    tq::ClientConfig config;
    std::printf("  %d supervisor hosts, job flags %d\n", config.supervisors().count(),
                config.jobFlags());
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// --- tq.conf --------------------------------------------------------------------------------

// One "supervisor_host" value that splits into a host name per two bytes.
std::string hostNames(size_t bytes) { return "supervisor_host = " + repeated("a,", bytes) + "a\n"; }

// One "client_job_flags" value that splits into a flag name per byte.
std::string flagNames(size_t bytes) { return "client_job_flags = " + repeated(",", bytes) + "\n"; }

// A key per line, "1=", "2=" ...: decimal keys, which the key hash places badly.
std::string distinctKeys(size_t bytes) {
  std::string out;
  out.reserve(bytes + 16);
  for (int i = 1; out.size() < bytes; ++i) {
    out += std::to_string(i);
    out += "=\n";
  }
  return out;
}

void readFlatConfig(const std::string& text) {
  tq::ConfigRecord record;
  record.setText(tq::TqString(std::string_view(text)));
  std::printf("  %d keys\n", record.count());
}

// A template of empty lines and short distinct keys, merged with an empty record.
std::string templateLines(size_t bytes) {
  std::string out;
  out.reserve(bytes + 16);
  for (int i = 0; out.size() < bytes; ++i) {
    out += "\n\n";
    for (int n = i; n > 0 || out.back() == '\n'; n /= 26) out += static_cast<char>('a' + n % 26);
    out += "=";
  }
  return out;
}

void mergeTemplate(const std::string& text) {
  tq::ConfigRecord record;
  record.set("client_timeout", "5");
  tq::TqString merged = record.mergeIntoTemplateText(tq::TqString(std::string_view(text)));
  std::printf("  %d bytes merged\n", merged.length());
}

// --- sectioned files ------------------------------------------------------------------------

void readSectioned(const std::string& text) {
  tq::Config config;
  config.parse(tq::TqString(std::string_view(text)));
  std::printf("  %d sections\n", config.sectionCount());
}

// One header whose name is nearly the whole input, generated 4096 times.
std::string longGeneratedNames(size_t bytes) {
  return "[" + std::string(bytes, 'n') + "[1-4096]]\nk = v\n";
}

// A value of nearly the whole input assigned to 4096 generated sections.
std::string valuePerSection(size_t bytes) {
  return "[s[1-4096]]\nk = " + std::string(bytes, 'v') + "\n";
}

// A parent of many keys, inherited by 4096 generated sections.
std::string inheritedKeys(size_t bytes) {
  std::string out = "[p]\n";
  out.reserve(bytes + 64);
  for (int i = 0; out.size() < bytes; ++i) {
    out += "k" + std::to_string(i) + "=1\n";
  }
  out += "[c[1-4096]] : p\n";
  return out;
}

// Every bound of the sectioned reader spent at once: as many sections as it takes, each with a
// key, a parent whose keys they all inherit until the stores run out, values that expand to
// many times their length; the rest of the input a comment.
std::string sectionedBoundsTogether(size_t bytes) {
  std::string out;
  const std::string name(50, 'n');  // near 1 MiB of names in headers: 4 x 4096 x 50
  for (const char* suffix : {"a[1-4096]", "b[1-4095]"}) {
    out += "[" + name + suffix + "]\nk = $p.v0$p.v0$p.v0$p.v0\n";
  }
  out += "[p]\n";
  for (int i = 0; i < 64; ++i)
    out += "v" + std::to_string(i) + " = " + std::string(256, 'v') + "\n";
  for (const char* suffix : {"a[1-4096]", "b[1-4095]"}) out += "[" + name + suffix + "] : p\n";
  if (out.size() < bytes) out += "#" + std::string(bytes - out.size(), 'x');
  return out;
}

// A token per byte: line ends, which the parser skips.
std::string lineEndTokens(size_t bytes) { return std::string(bytes, '\n'); }

// Missing parents by the million, each worth a warning that repeats a long header.
std::string missingParents(size_t bytes) {
  return "[" + std::string(4096, 'h') + "] :" + repeated(" m", bytes) + "\n";
}

// References that each make the second pass read a long value again: a reference to a missing
// section of a long name, which expands to almost nothing. Section s is expanded first (the
// last created goes first), while t.long still holds the reference.
std::string repeatedReferences(size_t bytes) {
  std::string out = "[t]\nlong = $" + std::string(bytes / 2, 'x') + ".k\n";
  out += "[s]\nk = " + repeated("$t.long", bytes / 2) + "\n";
  return out;
}

// --- expressions ----------------------------------------------------------------------------

// Millions of leaves and no operator.
std::string expressionLeaves(size_t bytes) { return repeated("a ", bytes); }

// A balanced tree of a million terms or so: every level within the depth bound.
std::string expressionTerms(size_t bytes) {
  std::string tree = "a";
  while (tree.size() * 2 + 3 <= bytes) tree = "(" + tree + "+" + tree + ")";
  return tree;
}

// Parentheses opened and never closed.
std::string expressionOpenParens(size_t bytes) { return std::string(bytes, '('); }

void parseInfix(const std::string& text) {
  tq::Expression e;
  e.parseInfix(text);
  tq::ExpressionValue value;
  e.evaluate(value);
  std::printf("  depth %d, value %s\n", e.depth(), value.asText().c_str());
}

void parseList(const std::string& text) {
  tq::Expression e;
  e.parseList(text);
  tq::ExpressionValue value;
  e.evaluate(value);
  std::printf("  depth %d\n", e.depth());
}

// --- env text -------------------------------------------------------------------------------

std::string envShortLines(size_t bytes) { return "umask=18\ncwd=/\n" + repeated("a\n", bytes); }

void readEnvText(const std::string& text) {
  tq::Env env;
  env.fromText(tq::TqString(std::string_view(text)));
  std::printf("  %d variables\n", env.variableCount());
}

// Drive-map lines for millions of distinct "drives".
std::string driveMapLines(size_t bytes) {
  std::string out;
  out.reserve(bytes + 16);
  for (int i = 0; out.size() < bytes; ++i) out += std::to_string(i) + "|x\n";
  return out;
}

void readDriveMap(const std::string& text) {
  tq::Env env;
  env.setMountsFromText(tq::TqString(std::string_view(text)));
  std::printf("  %d mounts\n", env.mountCount());
}

}  // namespace

TQ_BUDGET_CASE(conf_host_names, "tq.conf supervisor_host", hostNames, readClientConfig);
TQ_BUDGET_CASE(conf_flag_names, "tq.conf client_job_flags", flagNames, readClientConfig);
TQ_BUDGET_CASE(conf_distinct_keys, "flat config", distinctKeys, readFlatConfig);
TQ_BUDGET_CASE(conf_template_lines, "config template merge", templateLines, mergeTemplate);
TQ_BUDGET_CASE(sectioned_long_names, "sectioned config", longGeneratedNames, readSectioned);
TQ_BUDGET_CASE(sectioned_value_per_section, "sectioned config", valuePerSection, readSectioned);
TQ_BUDGET_CASE(sectioned_inherited_keys, "sectioned config", inheritedKeys, readSectioned);
TQ_BUDGET_CASE(sectioned_bounds_together, "sectioned config", sectionedBoundsTogether,
               readSectioned);
TQ_BUDGET_CASE(sectioned_tokens, "sectioned config", lineEndTokens, readSectioned);
TQ_BUDGET_CASE(sectioned_missing_parents, "sectioned config", missingParents, readSectioned);
TQ_BUDGET_CASE(sectioned_references, "sectioned config", repeatedReferences, readSectioned);
TQ_BUDGET_CASE(expression_leaves, "expression infix", expressionLeaves, parseInfix);
TQ_BUDGET_CASE(expression_terms, "expression infix", expressionTerms, parseInfix);
TQ_BUDGET_CASE(expression_open_parens, "expression infix", expressionOpenParens, parseInfix);
TQ_BUDGET_CASE(expression_list_leaves, "expression list", expressionLeaves, parseList);
TQ_BUDGET_CASE(env_short_lines, "env text", envShortLines, readEnvText);
TQ_BUDGET_CASE(env_drive_map_lines, "env drive map", driveMapLines, readDriveMap);
