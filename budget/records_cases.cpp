// Budget cases for the record readers: the binary field stream with lists and hashes of nearly
// empty elements, the message envelope, the text form (many elements, empty list items, long
// runs of siblings, deep nesting, declared entities) and the package text.
#include <cstdio>
#include <string>
#include <type_traits>

#include "budget/budget.h"
#include "job/job.h"
#include "job/job_records.h"
#include "job/message.h"
#include "records/byte_buffer.h"
#include "records/package.h"

namespace {

// Big-endian, as the field stream writes them (records/byte_buffer.h).
void putInt32(std::string& out, int32_t v) {
  uint8_t bytes[4];
  tq::storeInt32(bytes, v);
  out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void putHeader(std::string& out, int16_t id, int16_t kind) {
  uint8_t bytes[4];
  tq::storeInt16(tq::storeInt16(bytes, id), kind);
  out.append(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The fields of a list whose elements are empty records of one class: 12 bytes of input per
// element, each a whole default record in memory.
std::string emptyRecordElements(size_t bytes, int32_t class_id) {
  std::string out;
  size_t n = bytes / 12;
  putHeader(out, 1, 1);
  putInt32(out, static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    putHeader(out, 10, 4);
    putInt32(out, class_id);
    putInt32(out, 0);  // no fields
  }
  return out;
}

std::string versioned(const std::string& fields) {
  std::string out;
  putInt32(out, 1);
  return out + fields;
}

std::string emptyJobElements(size_t bytes) { return versioned(emptyRecordElements(bytes, 1)); }
std::string emptyWorkElements(size_t bytes) { return versioned(emptyRecordElements(bytes, 14)); }

// A string_list of empty strings: 8 bytes per element.
std::string emptyStringElements(size_t bytes) {
  std::string out;
  putInt32(out, 1);
  size_t n = bytes / 8;
  putHeader(out, 1, 1);
  putInt32(out, static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    putHeader(out, 10, 3);
    putInt32(out, 0);
  }
  return out;
}

// A hash of jobs ("116") whose entries are an empty key and an empty job: 20 bytes each.
std::string emptyJobEntries(size_t bytes) {
  std::string out;
  putInt32(out, 1);
  size_t n = bytes / 20;
  putHeader(out, 1, 1);
  putInt32(out, static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    putHeader(out, 10, 3);
    putInt32(out, 0);
    putHeader(out, 30, 4);
    putInt32(out, 1);
    putInt32(out, 0);
  }
  return out;
}

// A string_hash of distinct short keys with empty values, each entry a key, a value and a slot.
std::string distinctStringKeys(size_t bytes) {
  std::string out;
  putInt32(out, 1);
  putHeader(out, 1, 1);
  putInt32(out, static_cast<int32_t>(bytes / 20));
  for (int i = 0; out.size() < bytes; ++i) {
    std::string key = std::to_string(i);
    putHeader(out, 10, 3);
    putInt32(out, static_cast<int32_t>(key.size()));
    out += key;
    putHeader(out, 30, 3);
    putInt32(out, 0);
  }
  return out;
}

// A message whose content is a job_list of empty jobs.
std::string messageOfEmptyJobs(size_t bytes) {
  std::string list = emptyRecordElements(bytes, 1);
  std::string out;
  putInt32(out, 1);
  putHeader(out, 1, 1);
  putInt32(out, 200);
  putHeader(out, 3, 4);
  putInt32(out, 5);  // job_list
  putInt32(out, static_cast<int32_t>(list.size()));
  return out + list;
}

// A message whose content field comes again and again, each time naming an empty job.
std::string repeatedContents(size_t bytes) {
  std::string out;
  putInt32(out, 1);
  while (out.size() < bytes) {
    putHeader(out, 3, 4);
    putInt32(out, 1);
    putInt32(out, 0);
  }
  return out;
}

template <class R>
void decodeBinary(const std::string& input) {
  R record;
  record.decode(reinterpret_cast<const uint8_t*>(input.data()), static_cast<int32_t>(input.size()));
  if constexpr (std::is_same_v<R, tq::Message>) {
    std::printf("  content class %d\n", record.contentType());
  } else {
    std::printf("  %d elements\n", record.count());
  }
}

// --- text form ------------------------------------------------------------------------------

// Repeats `unit` between a head and a tail until the text holds about `bytes` bytes.
std::string textOf(const std::string& head, const std::string& unit, const std::string& tail,
                   size_t bytes) {
  std::string out = head;
  out.reserve(bytes + head.size() + tail.size() + unit.size());
  while (out.size() + unit.size() + tail.size() <= bytes) out += unit;
  return out + tail;
}

const char kJobHead[] = "<pack>\n<version>1</version>\n<object type = 'job'>\n";
const char kJobListHead[] = "<pack>\n<version>1</version>\n<object type = 'job_list'>\n";
const char kTail[] = "</object>\n</pack>";

// Elements of one name in one object: each filed under a name of its own (a, a1, a2 ...).
std::string manyElements(size_t bytes) { return textOf(kJobHead, "<a/>", kTail, bytes); }

// Empty list items: each an element frame, then a whole default job when the list is read.
std::string emptyItems(size_t bytes) {
  return textOf(kJobListHead, "<item><object/></item>", kTail, bytes);
}

// A long run of siblings of distinct names, each holding an empty object.
std::string distinctSiblings(size_t bytes) {
  std::string out = kJobHead;
  out.reserve(bytes + 64);
  for (int i = 0; out.size() + 64 < bytes; ++i) {
    std::string name = "s" + std::to_string(i);
    out += "<" + name + "><object/></" + name + ">";
  }
  return out + kTail;
}

// Elements opened and never closed.
std::string deepElements(size_t bytes) { return textOf(kJobHead, "<a>", "", bytes); }

// An entity that expands a few bytes into many, used all over the record.
std::string declaredEntities(size_t bytes) {
  std::string head = "<!DOCTYPE pack [<!ENTITY e \"" + std::string(1000, 'x') +
                     "\">]>\n<pack>\n<version>1</version>\n<object type = 'job'>\n<notes>";
  return textOf(head, "&e;", "</notes>\n</object>\n</pack>", bytes);
}

template <class R>
void decodeText(const std::string& input) {
  R record;
  int result = record.decodeText(input.data(), static_cast<int32_t>(input.size()));
  if constexpr (std::is_same_v<R, tq::JobList>) {
    std::printf("  result %d, %d elements\n", result, record.count());
  } else {
    std::printf("  result %d\n", result);
  }
}

// --- package text ---------------------------------------------------------------------------

// Empty nodes under one root: three bytes each.
std::string emptyNodes(size_t bytes) { return textOf("(=", "(=)", ")", bytes); }
// Nodes opened and never closed.
std::string openNodes(size_t bytes) { return textOf("", "(=", "", bytes); }

int32_t countNodes(const tq::Package& node) {
  int32_t n = 1;
  for (int32_t i = 0; i < node.childCount(); ++i) n += countNodes(*node.child(i));
  return n;
}

void parsePackage(const std::string& input) {
  std::unique_ptr<tq::Package> tree = tq::Package::parseParenthesised(input);
  std::printf("  %d nodes\n", tree ? countNodes(*tree) : 0);
}

}  // namespace

TQ_BUDGET_CASE(binary_empty_job_elements, "binary job_list", emptyJobElements,
               decodeBinary<tq::JobList>);
TQ_BUDGET_CASE(binary_empty_work_elements, "binary work_list", emptyWorkElements,
               decodeBinary<tq::WorkList>);
TQ_BUDGET_CASE(binary_empty_string_elements, "binary string_list", emptyStringElements,
               decodeBinary<tq::StringList>);
TQ_BUDGET_CASE(binary_empty_job_entries, "binary job hash", emptyJobEntries,
               decodeBinary<tq::JobHash>);
TQ_BUDGET_CASE(binary_distinct_string_keys, "binary string_hash", distinctStringKeys,
               decodeBinary<tq::StringHash>);
TQ_BUDGET_CASE(message_empty_job_elements, "message job_list", messageOfEmptyJobs,
               decodeBinary<tq::Message>);
TQ_BUDGET_CASE(message_repeated_contents, "message content", repeatedContents,
               decodeBinary<tq::Message>);
TQ_BUDGET_CASE(text_many_elements, "text job", manyElements, decodeText<tq::Job>);
TQ_BUDGET_CASE(text_empty_items, "text job_list", emptyItems, decodeText<tq::JobList>);
TQ_BUDGET_CASE(text_distinct_siblings, "text job", distinctSiblings, decodeText<tq::Job>);
TQ_BUDGET_CASE(text_deep_elements, "text job", deepElements, decodeText<tq::Job>);
TQ_BUDGET_CASE(text_declared_entities, "text job", declaredEntities, decodeText<tq::Job>);
TQ_BUDGET_CASE(package_empty_nodes, "package text", emptyNodes, parsePackage);
TQ_BUDGET_CASE(package_open_nodes, "package text", openNodes, parsePackage);
