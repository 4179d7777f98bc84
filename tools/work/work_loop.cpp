#include "work_loop.h"

#include "client/job_output.h"
#include "client/work_protocol.h"
#include "job/status.h"

namespace tq {
namespace {

bool safeNameCharacter(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '-':
    case '_':
    case '.':
    case ',':
    case ':':
    case '+':
    case '=':
    case '@':
    case '/':
    case '\\':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool substituteWork(const TqString& command, const Work& work, int32_t job_id, int32_t subjob_id,
                    TqString& line, std::string& why) {
  line.clear();
  why.clear();
  std::string_view text = command.view();
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c != '%' || (next != 'w' && next != 'j' && next != 's' && next != '%')) {
      line.append(c);
      continue;
    }
    ++i;
    if (next == '%') {
      line.append('%');
    } else if (next == 'j') {
      line.append(job_id);
    } else if (next == 's') {
      line.append(subjob_id);
    } else {
      if (work.name.empty()) {
        why = "work item without a name";
        return false;
      }
      for (char n : work.name.view()) {
        if (!safeNameCharacter(n)) {
          why = "work item name '" + std::string(work.name.printable().view()) +
                "' holds characters that may not go into a command line";
          return false;
        }
      }
      line.append(work.name);
    }
  }
  return true;
}

WorkLoopResult runWorkLoop(const WorkLoopOptions& options) {
  WorkLoopResult result;
  bool assigned =
      options.development_file.empty() ? initJob() : loadDevelopmentJob(options.development_file);
  if (!assigned) {
    result.lost = true;
    return result;
  }
  const int32_t job_id = jobId();
  const int32_t subjob_id = subjobId();
  for (;;) {
    Work work;
    NextWork next = nextWork(work);
    if (next == NextWork::kLost) result.lost = true;
    if (next == NextWork::kPreempted) result.preempted = true;
    if (next != NextWork::kWork) break;
    TqString line;
    std::string why;
    if (substituteWork(options.command, work, job_id, subjob_id, line, why)) {
      work.status.value = runCommand(line);
    } else {
      printJobLine("ERROR: " + why);
      work.status.value = kStatusFailed;
    }
    if (isComplete(work.status)) {
      ++result.complete;
    } else {
      ++result.failed;
    }
    if (!reportWork(work)) {
      result.lost = true;
      break;
    }
  }
  Subjob own;
  own.id = subjob_id;
  own.pid = job_id;
  own.status.value = result.preempted                   ? kStatusPending
                     : result.failed > 0 || result.lost ? kStatusFailed
                                                        : kStatusComplete;
  reportJob(own);
  (JobLine() << "tq-work: " << result.complete << " complete, " << result.failed << " failed"
             << (result.preempted ? ", preempted" : "") << (result.lost ? ", supervisor lost" : ""))
      .print();
  flushJobOutput();
  return result;
}

}  // namespace tq
