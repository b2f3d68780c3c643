#include "platform/cups/CupsRawJob.h"

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/CodePage.h"
#include "platform/cups/CupsErrors.h"

namespace platform::cups {

namespace {

using Clock = std::chrono::steady_clock;

// A connection of the job's own (the default one stays free for other requests while the document
// streams).
http_t* connectToSpooler() {
  return httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000,
                      nullptr);
}

// The text attribute `name` of a response, or "".
std::string textOf(ipp_t* response, const char* name) {
  ipp_attribute_t* a = ippFindAttribute(response, name, IPP_TAG_ZERO);
  const char* s = a ? ippGetString(a, 0, nullptr) : nullptr;
  return s ? s : "";
}

// What a queue is doing.
struct QueueState {
  int state = IPP_PSTATE_IDLE;
  bool accepting = true;
  std::string message;  // printer-state-message (UTF-8)
};

// Reads the queue's state; false (with cupsLastError() set) when it cannot be read.
bool readQueueState(http_t* http, const std::string& queue, QueueState& out) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                   "/printers/%s", queue.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const wanted[] = {"printer-state", "printer-is-accepting-jobs",
                                       "printer-state-message"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr,
                wanted);
  ipp_t* response = cupsDoRequest(http, request, "/");
  const bool ok = response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
  if (ok) {
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM))
      out.state = ippGetInteger(a, 0);
    if (ipp_attribute_t* a =
            ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
      out.accepting = ippGetBoolean(a, 0) != 0;
    out.message = textOf(response, "printer-state-message");
  }
  ippDelete(response);
  return ok;
}

// What a job is doing.
struct JobState {
  int state = IPP_JSTATE_PENDING;
  std::string message;  // job-printer-state-message (UTF-8): the queue's last words on the job
};

// Reads the job's state; false (with cupsLastError() set) when it cannot be read.
bool readJobState(http_t* http, int jobId, JobState& out) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/jobs/%d",
                   jobId);
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
  static const char* const wanted[] = {"job-state", "job-printer-state-message"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                wanted);
  ipp_t* response = cupsDoRequest(http, request, "/");
  const bool ok = response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
  if (ok) {
    if (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
      out.state = ippGetInteger(a, 0);
    out.message = textOf(response, "job-printer-state-message");
  }
  ippDelete(response);
  return ok;
}

// The spooler's last failure as an error of this queue and job.
CupsFailure lastFailure(const std::string& queue, int jobId) {
  int status = cupsLastError();
  if (status <= IPP_STATUS_OK_CONFLICTING) status = IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
  return CupsFailure{status, queue, cupsLastErrorString() ? cupsLastErrorString() : "", jobId, 0};
}

class CupsRawJob : public RawPrintJob {
 public:
  CupsRawJob(http_t* http, std::string queue, int jobId, CupsOptions options)
      : http_(http), queue_(std::move(queue)), jobId_(jobId), options_(std::move(options)) {}
  ~CupsRawJob() override;

  bool startPage() override { return !failed_; }
  bool endPage() override { return !failed_; }
  bool write(const std::string& bytes) override;
  bool finish() override;
  const SinkError& error() const override { return error_; }

 private:
  bool fail(const CupsFailure& f);
  bool waitUntilPrinted();
  void cancel();
  std::string queueUtf8() const { return cp1252ToUtf8(queue_); }

  http_t* http_;
  std::string queue_;  // Windows-1252
  int jobId_;
  CupsOptions options_;
  bool handedOver_ = false;  // the document was completed: the queue has the job
  bool failed_ = false;
  SinkError error_;
};

// An unfinished job is cancelled; one the queue already has stays there.
CupsRawJob::~CupsRawJob() {
  if (!handedOver_) cancel();
  httpClose(http_);
}

// Records the first failure; always false.
bool CupsRawJob::fail(const CupsFailure& f) {
  if (!failed_) {
    failed_ = true;
    error_ = explainCupsFailure(f);
  }
  return false;
}

// Cancels the job on a connection of its own (the job's may be in the middle of a request).
void CupsRawJob::cancel() { cupsCancelJob2(CUPS_HTTP_DEFAULT, queueUtf8().c_str(), jobId_, 0); }

// Streams the bytes into the document.
bool CupsRawJob::write(const std::string& bytes) {
  if (failed_ || handedOver_) return false;
  if (bytes.empty()) return true;
  if (cupsWriteRequestData(http_, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE)
    return fail(lastFailure(queue_, jobId_));
  return true;
}

// Completes the document and waits for the queue's verdict.
bool CupsRawJob::finish() {
  if (handedOver_) return !failed_;  // followed to its end already: printed unless it failed
  if (failed_) return false;
  const ipp_status_t status = cupsFinishDocument(http_, queueUtf8().c_str());
  if (status > IPP_STATUS_OK_CONFLICTING) return fail(lastFailure(queue_, jobId_));
  handedOver_ = true;
  return waitUntilPrinted();
}

// Follows the job until it is completed (true) or the queue gives it up, stops or holds it, or
// the time runs out (false). A job the queue cannot go on with by itself is cancelled, so that it
// does not print later unexpectedly; a job still waiting its turn when the time runs out stays.
bool CupsRawJob::waitUntilPrinted() {
  const auto deadline = Clock::now() + options_.jobTimeout;
  auto pause = std::chrono::milliseconds(5);
  for (;;) {
    JobState job;
    if (!readJobState(http_, jobId_, job)) {
      // Only finished jobs leave the job history.
      if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) return true;
      return fail(lastFailure(queue_, jobId_));
    }
    switch (job.state) {
      case IPP_JSTATE_COMPLETED:
        return true;
      case IPP_JSTATE_CANCELED:
        return fail({kJobCanceled, queue_, job.message, jobId_, 0});
      case IPP_JSTATE_ABORTED:
        return fail({kJobAborted, queue_, job.message, jobId_, 0});
      case IPP_JSTATE_PENDING:
      case IPP_JSTATE_HELD: {
        // A queue that stops on a failure puts the job back (held) and stops itself.
        QueueState queue;
        if (readQueueState(http_, queueUtf8(), queue) && queue.state == IPP_PSTATE_STOPPED) {
          cancel();
          return fail({kPrinterStopped, queue_, queue.message, jobId_, 0});
        }
        if (job.state == IPP_JSTATE_HELD) {
          cancel();
          return fail({kJobHeld, queue_, job.message, jobId_, 0});
        }
        break;
      }
      default:
        break;
    }
    if (Clock::now() >= deadline) {
      const auto seconds = (options_.jobTimeout.count() + 999) / 1000;
      return fail({kJobTimeout, queue_, "", jobId_, static_cast<int>(seconds)});
    }
    if (options_.whileWaiting) options_.whileWaiting();
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(200));
  }
}

}  // namespace

// Checks the queue, creates the job and opens its raw document.
std::unique_ptr<RawPrintJob> openCupsRawJob(const std::string& queue, const std::string& docName,
                                            const CupsOptions& options, SinkError& error) {
  const std::string name = cp1252ToUtf8(queue), title = cp1252ToUtf8(docName);
  http_t* http = connectToSpooler();
  if (!http) {
    error = explainCupsFailure(lastFailure(queue, 0));
    return nullptr;
  }
  auto refuse = [&](const CupsFailure& f) {
    error = explainCupsFailure(f);
    httpClose(http);
    return nullptr;
  };
  QueueState state;
  if (!readQueueState(http, name, state)) return refuse(lastFailure(queue, 0));
  if (state.state == IPP_PSTATE_STOPPED)
    return refuse({kPrinterStopped, queue, state.message, 0, 0});
  const int jobId = cupsCreateJob(http, name.c_str(), title.c_str(), 0, nullptr);
  if (jobId == 0) return refuse(lastFailure(queue, 0));
  if (cupsStartDocument(http, name.c_str(), jobId, title.c_str(), CUPS_FORMAT_RAW, 1) !=
      HTTP_STATUS_CONTINUE) {
    const CupsFailure f = lastFailure(queue, jobId);
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name.c_str(), jobId, 0);
    return refuse(f);
  }
  return std::make_unique<CupsRawJob>(http, queue, jobId, options);
}

}  // namespace platform::cups
