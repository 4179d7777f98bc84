// Budget cases for the record readers.
#include <string>

#include "budget/budget.h"
#include "job/job.h"

namespace {

void putInt32(std::string& out, int32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xff));
}

void putHeader(std::string& out, int16_t id, int16_t kind) {
  out.push_back(static_cast<char>(id >> 8));
  out.push_back(static_cast<char>(id & 0xff));
  out.push_back(static_cast<char>(kind >> 8));
  out.push_back(static_cast<char>(kind & 0xff));
}

// A job_list whose elements are empty job records: 12 bytes of input per element, each a whole
// default job in memory.
std::string emptyJobElements(size_t bytes) {
  std::string out;
  putInt32(out, 1);
  size_t n = bytes / 12;
  putHeader(out, 1, 1);
  putInt32(out, static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    putHeader(out, 10, 4);
    putInt32(out, 1);  // class id of the job
    putInt32(out, 0);  // no fields
  }
  return out;
}

void decodeJobList(const std::string& input) {
  tq::JobList list;
  list.decode(reinterpret_cast<const uint8_t*>(input.data()), static_cast<int32_t>(input.size()));
}

}  // namespace

TQ_BUDGET_CASE(binary_empty_job_elements, "binary job_list", emptyJobElements, decodeJobList);
