// The message table: every code the library sets or may receive (error_codes.h), with the
// template its text() reads. Codes without a row of their own (29, 36, 41, 2053 and 3062 among
// those in use) read "general error". Rows are sorted by code.
#include <algorithm>
#include <iterator>

#include "transport/error.h"

namespace tq {
namespace {

struct MessageRow {
  int32_t code;
  const char* text;
};

constexpr MessageRow kMessages[] = {
    {kKeyExchangeFailed, "unable to establish key exchange"},
    {kSslError, "openssl error: $ERROR"},
    {kConnectionNotActive, "couldn't use nonactive connection"},
    {kCompressFailed, "unable to compress input data"},
    {kTcpSendTimedOut, "tcp send socket timed out"},
    {kImprintFailed, "couldn't imprint connection"},
    {kCompressedLengthWriteFailed, "couldn't write compressed length to header"},
    {kLengthWriteFailed, "couldn't write length to header"},
    {kRawSendTimedOut, "raw tcp send socket timed out"},
    {kUdpOpenFailed, "couldn't open udp socket"},
    {kUdpBindFailed, "udp bind fail: $ERROR"},
    {kHostNotResolved, "unable to resolve host name"},
    {kUdpSendFailed, "udp send fail: $ERROR"},
    {kOutOfMemory, "can't allocate memory"},
    {kTcpReceiveTimedOut, "tcp receive socket timed out"},
    {kBlankMessage, "blank message"},
    {kTcpReceiveFailed, "tcp receive fail: $ERROR"},
    {kTcpVersionMismatch, "tcp comm version doesn't match - version: $VERSION"},
    {kTcpLengthReadFailed, "couldn't read tcp comm length: $ERROR"},
    {kNoDataInComm, "no data in comm"},
    {kUncompressFailed, "unable to uncompress data"},
    {kSslSendTimedOut, "openssl tcp send socket timed out"},
    {kSslReceiveFailed, "openssl tcp receive fail: $ERROR"},
    {kSslVersionMismatch, "openssl tcp comm version doesn't match - version: $VERSION"},
    {kSslLengthReadFailed, "couldn't read openssl tcp comm length: $ERROR"},
    {kSslNoDataInComm, "no data in comm"},
    {kUdpBufferAllocationFailed, "couldn't allocate enough memory for udp buffer"},
    {kUdpReceiveTimedOut, "udp receive socket timed out"},
    {kUdpBlankMessage, "blank message"},
    {kUdpVersionMismatch, "udp comm version doesn't match - version: $VERSION"},
    {kHostNameUnspecified, "host name unspecified"},
    {kSendTimeoutNotSet, "unable to set send socket timeout"},
    {kReceiveTimeoutNotSet, "unable to set receive socket timeout"},
    {kConnectFailed, "unable to connect to host"},
    {kConnectFailedWithReason, "unable to connect to host: $ERROR"},
    {kTcpOpenFailed, "couldn't open tcp socket"},
    {kNoUdpProtocol, "couldn't locate entry for udp protocol."},
    {kNoTcpProtocol, "couldn't locate entry for tcp protocol."},
    {kSelectFailed, "select fail: $ERROR"},
    {kAcceptFailed, "problem accepting connection"},
    {kListenerUdpOpenFailed, "couldn't open udp socket"},
    {kLocalHostNameUnknown, "unable to determine local host name"},
    {kListenerTcpOpenFailed, "couldn't open tcp socket"},
    {kListenerSendTimeoutNotSet, "unable to set send socket timeout"},
    {kListenerReceiveTimeoutNotSet, "unable to set receive socket timeout"},
    {kSocketInfoFailed, "unable to obtain socket info - $ERROR"},
    {kListenFailed, "unable to listen on socket"},
    {kListenerUdpBindFailed, "udp bind fail: $ERROR"},
    {kListenerSslBindFailed, "openssl tcp bind fail: $ERROR"},
    {kListenerTcpBindFailed, "tcp bind fail: $ERROR"},
    {kTooManyConnections, "connection rejected - too many connections"},
    {kUnspecifiedError, "unspecifed error"},
    {kDataReturnedBlank, "ERROR: data returned blank"},
    {kAccessDenied, "access denied"},
    {kMessageInvalid, "message invalid"},
    {kNoJobsToSubmit, "no jobs specifed to submit."},
    {kNotAcceptingJobs, "supervisor not accepting jobs."},
    {kNoAuthorization, "job submission denied - no authorization."},
    {kNoPassword, "job submission denied - no password."},
    {kSubmissionDenied, "job submission denied - $ERROR"},
    {kHostsNotFound, "couldn't find host(s)."},
    {kJobsNotFound, "couldn't find jobs(s)."},
    {kEliteFlagDenied, "job submission denied - must be administrator to use elite job flag."},
    {kLogTruncated,
     "log file too large >$SIZE bytes and has been truncated. please refer to job log directory "
     "located on the supervisor for the entire file."},
    {kLaunchFailed, "Unable to launch job."},
    {kJobDataCorrupt, "Job data corrupt."},
    {kAutoMountDisabled, "Worker auto-mount disabled."},
    {kRequirementsUnmet, "Worker unable to satisfy requirements."},
    {kNoCpusAvailable, "Worker no cpus available."},
    {kNoSuchAccount, "Account doesn't exist."},
    {kWorkerBusy, "Worker already processing new job."},
    {kJobNotAssigned, "job not assigned."},
    {kWindowsLoginFailed, "Unable to login to windows."},
    {kDriveAlreadyMounted, "Drive is already mounted on this host."},
    {kNoSupervisorFound, "no supervisor found: $ERROR"},
    {kSupervisorBusy, "supervisor busy: $HOST has too many connections"},
    {kEmptyAnswer, "empty answer from supervisor $HOST"},
    {kPeerText, "$ERROR"},
    {kGeneralError, "general error"},
};

constexpr bool sortedByCode() {
  for (size_t i = 1; i < std::size(kMessages); ++i)
    if (kMessages[i - 1].code >= kMessages[i].code) return false;
  return true;
}
static_assert(sortedByCode(), "the message table is sorted by code, without repeats");

constexpr const char* kGeneralErrorText = "general error";

bool isNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

const char* messageTemplate(int32_t code) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const MessageRow& row, int32_t c) { return row.code < c; });
  return it != std::end(kMessages) && it->code == code ? it->text : kGeneralErrorText;
}

TqString expandTemplate(const char* pattern, const ErrorRecord& values) {
  TqString out;
  std::string_view text(pattern);
  size_t i = 0;
  while (i < text.size()) {
    size_t dollar = text.find('$', i);
    if (dollar == std::string_view::npos) dollar = text.size();
    out.append(text.data() + i, static_cast<int32_t>(dollar - i));
    if (dollar == text.size()) break;
    size_t start = dollar + 1, end;
    if (start < text.size() && text[start] == '(') {
      ++start;
      end = text.find(')', start);
      if (end == std::string_view::npos) end = text.size();
      i = end < text.size() ? end + 1 : end;
    } else {
      end = start;
      while (end < text.size() && isNameByte(text[end])) ++end;
      i = end;
    }
    TqString name(text.data() + start, static_cast<int32_t>(end - start));
    if (const TqString* value = values.value(name)) out.append(*value);
  }
  return out;
}

}  // namespace tq
