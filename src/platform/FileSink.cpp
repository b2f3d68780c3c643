// The byte sink of a file replaced atomically: bytes stream into AtomicFileWriter's temporary file,
// which takes the target's place only at finish(); a failure or an unfinished sink leaves the old
// file whole.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "platform/ByteSink.h"
#include "platform/CodePage.h"

namespace platform {

namespace {

// What a file that could not be written needs from the user, in Windows-1252: the old file was
// kept, or (a rewrite in place failed part-way) it may be incomplete and the new content is in
// the safe copy.
std::string writeErrorText(const std::string& path, int code, const std::string& safeCopy) {
  const std::string what = "Não foi possível gravar " + path + " (" + std::strerror(code) + ").";
  if (!safeCopy.empty()) return utf8ToCp1252(what) + "\r\r" + inPlaceFailureText(safeCopy);
  return utf8ToCp1252(what +
                      " O arquivo anterior foi mantido; verifique a pasta, a permissão de "
                      "gravação e o espaço em disco.");
}

class FileSink : public ByteSink {
 public:
  FileSink(std::unique_ptr<AtomicFileWriter> writer, std::string path)
      : writer_(std::move(writer)), path_(std::move(path)) {}

  // Appends to the temporary file; a write error abandons it.
  bool write(std::string_view bytes) override {
    if (failed()) return false;
    try {
      writer_->write(bytes);
      return true;
    } catch (const base::EInOutError& e) {
      return abandon(e.Codigo());
    }
  }

  // Syncs the temporary file and renames it over the target.
  bool finish() override {
    if (failed()) return false;
    try {
      writer_->commit();
      return true;
    } catch (const base::EInOutError& e) {
      return abandon(e.Codigo());
    }
  }

 private:
  // Records the failure with what the writer knows of it and drops the writer.
  bool abandon(int code) {
    const std::string safeCopy = writer_->safeCopyKept();
    writer_.reset();
    fail(code, writeErrorText(path_, code, safeCopy));
    keepSafeCopy(safeCopy);
    return false;
  }

  std::unique_ptr<AtomicFileWriter> writer_;  // its destructor removes an uncommitted file
  std::string path_;
};

}  // namespace

// Opens the temporary file beside `path`, refusing a target that is not a regular file.
std::unique_ptr<ByteSink> openFileSink(const std::string& path, SinkError& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    const bool folder = S_ISDIR(st.st_mode);
    error = SinkError{folder ? EISDIR : 0,
                      utf8ToCp1252(path + " não é um arquivo comum (é " +
                                   (folder ? "uma pasta" : "um dispositivo ou pipe") +
                                   "); escolha outro nome de arquivo.")};
    return nullptr;
  }
  try {
    auto writer = std::make_unique<AtomicFileWriter>(path);
    return std::make_unique<FileSink>(std::move(writer), path);
  } catch (const base::EInOutError& e) {
    error = SinkError{e.Codigo(), utf8ToCp1252("Não foi possível criar " + path + " (" +
                                               std::strerror(e.Codigo()) +
                                               "); verifique se a pasta existe e se há "
                                               "permissão de gravação.")};
    return nullptr;
  }
}

}  // namespace platform
