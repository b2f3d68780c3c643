#include "platform/cups/CupsErrors.h"

#include <cups/ipp.h>

#include <utility>

#include "platform/CodePage.h"

namespace platform::cups {

namespace {

// The Portuguese advice for a status (UTF-8), with {fila}, {trabalho} and {segundos} to fill in.
const char* advice(int status) {
  switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
      return "A impressora \"{fila}\" não existe no servidor de impressão. Escolha outra "
             "impressora ou "
             "instale a fila (lpadmin -p {fila}).";
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
      return "O servidor de impressão não permitiu imprimir na fila \"{fila}\". Peça ao "
             "administrador "
             "que libere a fila para o seu usuário (lpadmin -p {fila} -u allow:all).";
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
      return "A fila \"{fila}\" não está aceitando trabalhos. Libere-a com: cupsaccept {fila}";
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
      return "O servidor de impressão não responde. Verifique se ele está em execução "
             "(systemctl start cups) e imprima de novo.";
    case kPrinterStopped:
      return "A impressora \"{fila}\" está parada. Inicie-a com: cupsenable {fila}";
    case kJobAborted:
      return "A fila \"{fila}\" interrompeu o trabalho {trabalho} sem imprimi-lo. Verifique se a "
             "impressora está "
             "ligada, conectada e com papel, e imprima de novo.";
    case kJobCanceled:
      return "O trabalho {trabalho} foi cancelado na fila \"{fila}\" antes de ser impresso. "
             "Imprima de novo.";
    case kJobHeld:
      return "O trabalho {trabalho} ficou retido na fila \"{fila}\" e foi cancelado. Verifique as "
             "opções da fila "
             "(lpoptions -p {fila}) e imprima de novo.";
    case kJobTimeout:
      return "A fila \"{fila}\" não concluiu o trabalho {trabalho} em {segundos} s de espera; ele "
             "continua "
             "na fila. "
             "Acompanhe-o com: lpstat -o {fila} (para cancelá-lo: cancel {trabalho}).";
    default:
      return "A impressão na fila \"{fila}\" falhou. Verifique a fila com: lpstat -p {fila}";
  }
}

// The advice with the queue, job and seconds put in (UTF-8).
std::string fillIn(std::string text, const CupsFailure& f) {
  const std::pair<const char*, std::string> values[] = {
      {"{fila}", cp1252ToUtf8(f.queue)},
      {"{trabalho}", std::to_string(f.jobId)},
      {"{segundos}", std::to_string(f.timeoutSeconds)}};
  for (const auto& [mark, value] : values)
    for (size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + value.size()))
      text.replace(at, std::string(mark).size(), value);
  return text;
}

}  // namespace

// The number and the text: the advice, then the spooler's words on a line of their own.
SinkError explainCupsFailure(const CupsFailure& f) {
  std::string text = fillIn(advice(f.status), f);
  if (!f.cupsWords.empty()) text += "\r" + f.cupsWords;
  return SinkError{f.status, utf8ToCp1252(text)};
}

}  // namespace platform::cups
