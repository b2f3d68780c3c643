// The byte sink of a raw spooler job: the bytes pass to the printer queue untouched, inside one
// document with one page. The job itself is the platform's RawPrintJob.
#include "platform/ByteSink.h"
#include "platform/Platform.h"

namespace platform {

namespace {

class SpoolerSink : public ByteSink {
 public:
  explicit SpoolerSink(std::unique_ptr<RawPrintJob> job) : job_(std::move(job)) {}

  // Hands the bytes to the job.
  bool write(std::string_view bytes) override {
    if (failed()) return false;
    if (bytes.empty()) return true;
    if (!job_->write(std::string(bytes))) return failJob();
    return true;
  }

  // Ends the page and the document, which closes the printer.
  bool finish() override {
    if (failed()) return false;
    if (!job_->endPage() || !job_->finish()) return failJob();
    return true;
  }

 private:
  // Records the job's own error (the spooler's number and what to do); the job is dropped
  // unfinished, which cancels it.
  bool failJob() {
    const SinkError& e = job_->error();
    return fail(e.code, e.text);
  }

  std::unique_ptr<RawPrintJob> job_;  // dropping it unfinished drops the job
};

}  // namespace

// Starts the job on the printer and its first page.
std::unique_ptr<ByteSink> openSpoolerSink(const std::string& printer, const std::string& docName,
                                          SinkError& error) {
  std::unique_ptr<RawPrintJob> job = current().startRawJob(printer, docName, error);
  if (!job) return nullptr;
  if (!job->startPage()) {
    error = job->error();
    return nullptr;
  }
  return std::make_unique<SpoolerSink>(std::move(job));
}

}  // namespace platform
