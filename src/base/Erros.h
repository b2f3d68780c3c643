// The failures that escape an operation and reach the application's error box: conversion errors,
// input/output errors and data set errors. Messages are Windows-1252 text, exactly as shown.
#pragma once

#include <stdexcept>
#include <string>

namespace base {

// Root of the errors the window layer shows in the application's error box.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& mensagem) : std::runtime_error(mensagem) {}
  const std::string& Mensagem() const { return mensagem_; }
  const char* what() const noexcept override { return mensagem_.c_str(); }

 private:
  std::string mensagem_ = std::runtime_error::what();
};

// A text that does not convert to a number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A file operation that failed: "File not found", "I/O error %d".
class EInOutError : public Exception {
 public:
  EInOutError(const std::string& mensagem, int codigo) : Exception(mensagem), codigo_(codigo) {}
  int Codigo() const { return codigo_; }

 private:
  int codigo_;
};

// An operation on the item table in a state that does not allow it.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// A file whose layout cannot be read (our own wording; the described format has no such error).
class EFormatoInvalido : public Exception {
 public:
  using Exception::Exception;
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// A computed value that does not fit its integer type: "Arithmetic overflow".
class EIntOverflow : public Exception {
 public:
  using Exception::Exception;
};

// "File not found" for ENOENT, otherwise "I/O error %d" with the system's error number.
EInOutError ErroDeArquivo(int errnoValor);

}  // namespace base
