// A library user's program: touches the parts that need each dependency (the text form reader
// needs Expat, regular expressions PCRE2, frame bodies zlib) and finds the installed aftereffects
// job type. Prints one line; the install check compares it.
#include <cstdio>

#include "client/job_type.h"
#include "config/defaults.h"
#include "config/regex.h"
#include "job/job.h"
#include "records/version.h"
#include "transport/compression.h"
#include "transport/credential_key.h"

int main() {
  tq::JobType type("aftereffects");
  tq::Regex pattern("^after.*s$");
  tq::TqString name("aftereffects");

  tq::Job job;
  job.prototype = type.name();
  job.label = type.jobLabel();
  // A job file in the temporary directory (TQTEMPDIR), written and read back.
  tq::TqString path = tq::defaultText(304) + "/consumer_job.txt";
  tq::Job copy;
  bool read = job.saveText(path.c_str()) > 0 && copy.loadText(path.c_str()) > 0 &&
              copy.label == job.label && copy.prototype == job.prototype;

  // The job's binary form through a frame body's compression and back.
  job.encode();
  int32_t packed = 0;
  auto body = tq::compressBody(job.buffer(), job.bufferLength(), packed);
  auto back = body ? tq::uncompressBody(body.get(), packed, job.bufferLength()) : nullptr;
  bool zlib = back != nullptr;

  tq::CredentialKey key;
  key.setBuiltIn();
  std::printf("tq %s type=%s valid=%d label=%s regex=%d text=%d zlib=%d cipher=%d\n",
              tq::kVersionText, type.name().c_str(), type.isValid() ? 1 : 0,
              type.jobLabel().c_str(), pattern.matches(name) ? 1 : 0, read ? 1 : 0, zlib ? 1 : 0,
              key.encipher("pw").length());
  return type.isValid() ? 0 : 1;
}
