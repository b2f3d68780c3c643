#include "signing/vekDigitalSign.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/Erros.h"
#include "base/Texto.h"
#include "platform/Platform.h"
#include "util/vekCommandLine.h"
#include "util/vekExecuteProcess.h"
#include "util/vekFileUtils.h"
#include "util/vekMsgUtils.h"

namespace fs = std::filesystem;

namespace signing {

namespace {

constexpr const char* kApplicationName = "razOdizazido.exe";
constexpr const char* kPackageProgramName = "zovUrid.exe";
constexpr const char* kPackageFolderName = "JSignPdf/";
constexpr const char* kVersionFileName = "version.dat";
constexpr int kShowNormal = 5;
constexpr int kPumpRounds = 11;
constexpr int kPumpPauseMs = 100;

// The messages of the launcher (Windows-1252).
const char kApplicationMissing[] =
    "N\xE3o ser\xE1 poss\xEDvel prosseguir! Aplica\xE7\xE3o \"razOdizazido.exe\" n\xE3o "
    "localizada!";
const char kPackageMissing[] =
    "N\xE3o foi poss\xEDvel encontrar os recursos do JSignPDF! \xC9 necess\xE1rio colocar o "
    "\"zovUrid.exe\" e \"razOdizazido.exe\" na pasta do sistema de proposta para utilizar o "
    "recurso de assinatura de documentos!\r\n - Favor entrar em contato com o pregoeiro e "
    "solicitar os recursos adicionais: \"zovUrid.exe\" e \"razOdizazido.exe\".";
const char kExecuteFailed[] =
    "Ocorreu um problema ao tentar executar o servi\xE7o de assinatura digital!\r"
    "Mensagem Original: ";

std::string& directoryBaseOverride() {
  static std::string folder;
  return folder;
}

// The folder of the running executable, with a trailing "/".
std::string executableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "./";
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// True when path is a file (after links), as the system's FileExists says.
bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The first line of a text file (up to its first CR or LF); raises the file error when it cannot
// be read, and the list's index error when it has no line at all.
std::string readFirstLine(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw base::ErroDeArquivo(errno);
  std::string line;
  bool any = false;
  char buf[4096];
  while (true) {
    ssize_t got = ::read(fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      int err = errno;
      ::close(fd);
      throw base::ErroDeArquivo(err);
    }
    if (got == 0) break;
    any = true;
    std::string_view chunk(buf, static_cast<size_t>(got));
    size_t end = chunk.find_first_of("\r\n");
    line.append(chunk.substr(0, end));
    if (end != std::string_view::npos) break;
  }
  ::close(fd);
  if (!any) throw base::Exception("List index out of bounds (0)");
  return line;
}

}  // namespace

// Sets or clears the folder that stands in for the executable's folder.
void TDigitalSign::setDirectoryBaseForTesting(const std::string& folder) {
  std::string f = folder;
  if (!f.empty() && f.back() != '/') f += '/';
  directoryBaseOverride() = f;
}

// Runs the package check unless told to skip it.
void TDigitalSign::beforeExecute(bool skipPackageCheck) {
  if (!skipPackageCheck) checkPackageInstallation();
}

// Checks the package, starts the signing application and waits; shows any error once.
bool TDigitalSign::execute() {
  bool result = false;
  try {
    beforeExecute(false);
    result = util::runAndWait(getPathToApplication(), getParameters(), kShowNormal);
  } catch (const base::Exception& e) {
    util::showError(kExecuteFailed + e.Mensagem());
    return false;
  } catch (const std::exception& e) {
    util::showError(kExecuteFailed + std::string(e.what()));
    return false;
  }
  return result;
}

// Gives the executable's folder (or the test folder).
std::string TDigitalSign::getDirectoryBase() const {
  const std::string& f = directoryBaseOverride();
  return f.empty() ? executableFolder() : f;
}

// Gives the signing application's path.
std::string TDigitalSign::getPathToApplication() const {
  return getDirectoryBase() + getZovUridExecName();
}

// Gives the signing application's file name.
std::string TDigitalSign::getZovUridExecName() const { return kApplicationName; }

// Gives the package program's path or the package folder.
std::string TDigitalSign::getPathToPackage(bool program) const {
  return getDirectoryBase() + (program ? kPackageProgramName : kPackageFolderName);
}

// Says whether the package folder exists.
bool TDigitalSign::isExistsDirectoryPackage() const {
  std::error_code ec;
  return fs::is_directory(getPathToPackage(false), ec);
}

// Says whether the package program exists.
bool TDigitalSign::isExistsPackageAutoExtract() const { return fileExists(getPathToPackage(true)); }

// Says whether the signing application exists.
bool TDigitalSign::isExistsApplicationExec() const { return fileExists(getPathToApplication()); }

// Gives the application's file version or the package's recorded version.
std::string TDigitalSign::getVersionOfPackage(bool application) const {
  if (application) return util::TFileUtils::getFileVersion(getPathToApplication(), "1234", "%.d");
  std::string file = getPathOfPackageFileVersion();
  if (!fileExists(file)) return {};
  return readFirstLine(file);
}

// Gives the path of the package's version.dat.
std::string TDigitalSign::getPathOfPackageFileVersion() const {
  return getPathToPackage(false) + kVersionFileName;
}

// Compares the package's version with the application's, exactly.
bool TDigitalSign::isVersionPackageEquals() const {
  return getVersionOfPackage(false) == getVersionOfPackage(true);
}

// Runs the self-extracting package, then keeps the window system responsive for about 1.1 s.
bool TDigitalSign::extractPackage() {
  bool started = util::runAndWait(getPathToPackage(true), "", kShowNormal);
  for (int i = 0; i < kPumpRounds; ++i) {
    platform::current().processMessages();
    platform::current().sleepMs(kPumpPauseMs);
  }
  return started;
}

// Extracts the package when its folder is missing or out of date; both programs must be there.
void TDigitalSign::checkPackageInstallation() {
  if (!isExistsDirectoryPackage()) {
    checkPackageAutoExtract();
    extractPackage();
  } else {
    checkPackageAutoExtract();
    if (!isVersionPackageEquals()) {
      util::TFileUtils::deleteFiles(getPathToPackage(false), "*.*", true, true);
      extractPackage();
    }
  }
  if (!isExistsApplicationExec()) throw base::Exception(kApplicationMissing);
}

// Confirms that the package program is there, raising the missing-package error otherwise.
bool TDigitalSign::checkPackageAutoExtract() {
  if (isExistsPackageAutoExtract()) return true;
  throw base::Exception(kPackageMissing);
}

// Stores a parameter, trimmed and quoted as the command line needs it.
void TDigitalSign::addParam(const std::string& name, const std::string& value) {
  std::string v = base::Trim(value);
  if (!v.empty() && v[0] != '"') {
    // Blanks need quotes; so does a quote inside, which would otherwise be lost in the splitting.
    bool blank = v.find_first_of(" \t") != std::string::npos && v.size() > 1;
    if (blank || v.find('"') != std::string::npos) v = util::quoteCommandLineArgument(v);
  }
  if (v.empty()) v = " ";
  parameters.putValue(name, v);
}

// Joins the parameters as -name[=value] separated by blanks.
std::string TDigitalSign::getParameters() const {
  std::string text;
  for (int i = 0; i < parameters.Count(); ++i) {
    std::string item = parameters.Names(i);
    if (item.rfind('-', 0) != 0) item.insert(item.begin(), '-');
    std::string value = parameters.ValueFromIndex(i);
    if (!base::Trim(value).empty()) item += "=" + value;
    if (!text.empty()) text += ' ';
    text += item;
  }
  return text;
}

// The signing command of the main window and of proposta-cli.
bool executeSign(const std::string& dir, bool exec) {
  TDigitalSign sign;
  if (!dir.empty()) sign.addParam("dir", dir);
  if (exec) sign.addParam("exec", "");
  return sign.execute();
}

}  // namespace signing
