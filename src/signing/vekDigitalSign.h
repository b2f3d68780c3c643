// The document-signing launcher: makes sure the signing package (JSignPdf) unpacked beside the
// program matches the signing application's version, re-extracting it when it does not, then starts
// the signing application with its parameters and waits until it ends.
//
// The main window's "&Assinar Docum. Dig." button (BitBtn5Click) calls
//     signing::executeSign("", false);
// which blocks until the signing application has ended or an error box ("Erro") was shown.
#pragma once

#include <string>

#include "util/vekMap.h"

namespace signing {

// One signing command: created, given parameters, executed once, destroyed.
class TDigitalSign {
 public:
  TDigitalSign() = default;
  virtual ~TDigitalSign() = default;
  TDigitalSign(const TDigitalSign&) = delete;
  TDigitalSign& operator=(const TDigitalSign&) = delete;

  // The parameters for the signing application, in order (name=value lines).
  util::TMapString parameters;

  // Unless skipped, checkPackageInstallation.
  void beforeExecute(bool skipPackageCheck);
  // Checks the package, runs the signing application with getParameters and waits; any error
  // raised on the way is shown once in an error box and gives false, as does an application that
  // cannot be started.
  bool execute();
  // The folder of the running executable, ending with "/".
  std::string getDirectoryBase() const;
  // base folder + "razOdizazido.exe".
  std::string getPathToApplication() const;
  // "razOdizazido.exe".
  std::string getZovUridExecName() const;
  // base folder + "zovUrid.exe" (the self-extracting package) when program is true, otherwise the
  // package folder, base folder + "JSignPdf/".
  std::string getPathToPackage(bool program) const;
  // The package folder exists.
  bool isExistsDirectoryPackage() const;
  // "zovUrid.exe" exists.
  bool isExistsPackageAutoExtract() const;
  // "razOdizazido.exe" exists.
  bool isExistsApplicationExec() const;
  // The application's file version as major.minor.release.build (application true), or the first
  // line of the package's version.dat (empty when that file does not exist; raises when it cannot
  // be read or has no line).
  std::string getVersionOfPackage(bool application) const;
  // package folder + "version.dat".
  std::string getPathOfPackageFileVersion() const;
  // The package version equals the application version, compared exactly.
  bool isVersionPackageEquals() const;
  // Runs "zovUrid.exe" and waits, then lets window messages be handled for about 1.1 seconds;
  // true when it could be started.
  bool extractPackage();
  // Makes the package folder current, extracting it when it is missing or of another version;
  // raises when "zovUrid.exe" or "razOdizazido.exe" is missing.
  void checkPackageInstallation();
  // True when "zovUrid.exe" exists; otherwise raises the missing-package error.
  bool checkPackageAutoExtract();
  // Adds or replaces a parameter (the value trimmed, quoted when it holds blanks, a single space
  // when empty so that the entry stays).
  void addParam(const std::string& name, const std::string& value);
  // The parameters as one command-line text: -name or -name=value, separated by blanks.
  std::string getParameters() const;

  // Makes getDirectoryBase return folder (a "/" is added when missing); empty restores the
  // executable's folder. For tests only.
  static void setDirectoryBaseForTesting(const std::string& folder);
};

// The signing command: a TDigitalSign with "dir" (when dir is not empty) and "exec" (when exec is
// true) as parameters, executed; true when the signing application was started and has ended.
// Errors have been shown to the user by then.
bool executeSign(const std::string& dir, bool exec);

}  // namespace signing
