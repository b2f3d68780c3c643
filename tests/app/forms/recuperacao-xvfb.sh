#!/bin/bash
# The recovery journal on a real X server: a run types brands and prices into a copy of the
# example and closes the window; another run types the same into another copy (and starts a row it
# never finishes), is killed with SIGKILL, is started again, answers "Sim" to the recovery question
# and closes the window. Both process files must then hold the same bytes, and no journal is left.
# usage: recuperacao-xvfb.sh PROPOSTA EXEMPLO.xml
# (exit 77: skipped, no X server or window manager came up)
set -u
programa=$1
exemplo=$2

pasta=$(mktemp -d "${TMPDIR:-/tmp}/proposta-xvfb-XXXXXX")
pids=()
resultado=1
# Ends what this script started (by PID only); removes its folder when the test passed or was
# skipped, and keeps it (the logs of the X server, the window manager and the program) otherwise.
limpa() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -9 "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  if [ "$resultado" -eq 0 ] || [ "$resultado" -eq 77 ]; then
    rm -rf "$pasta"
  else
    echo "registros mantidos em $pasta (xvfb.log, openbox.log, programa.log)" >&2
  fi
}
trap limpa EXIT

# Stops the test with a message.
falha() {
  echo "FALHOU: $*" >&2
  exit 1
}

# Stops the test as skipped.
pula() {
  echo "SKIP: $*"
  resultado=77
  exit 77
}

# Waits until the command succeeds, polling, for at most LIMITE seconds; fails when it never does.
espera() {
  local fim=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$fim" ] || return 1
    sleep 0.1
  done
}

# A home of our own: the window manager's cache and Qt's settings go there, not to the user's.
export HOME="$pasta/casa" XDG_DATA_HOME="$pasta/dados" XDG_CONFIG_HOME="$pasta/config"
export XDG_CACHE_HOME="$pasta/cache" XDG_RUNTIME_DIR="$pasta/run"
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

for ferramenta in Xvfb openbox xdotool xprop; do
  command -v "$ferramenta" >/dev/null || pula "$ferramenta não está instalado"
done

# Starts an X server of our own and openbox on it; sets DISPLAY. Xvfb picks a free display and
# writes its number on descriptor 3 (XVFB_TELA=n asks for display :n instead). Returns 1, with the
# reason in `motivo`, when either does not come up; what it started is then ended.
inicia_tela() {
  local tentativa=$1 xvfb openbox
  : >"$pasta/display"
  if [ -n "${XVFB_TELA:-}" ]; then
    echo "$XVFB_TELA" >"$pasta/display"
    Xvfb ":$XVFB_TELA" -screen 0 1280x1024x24 -nolisten tcp 2>"$pasta/xvfb.log" &
  else
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$pasta/display" 2>"$pasta/xvfb.log" &
  fi
  xvfb=$!
  pids+=($xvfb)
  tela_pronta() { [ -s "$pasta/display" ] || ! kill -0 "$xvfb" 2>/dev/null; }
  espera 30 tela_pronta
  export DISPLAY=":$(head -1 "$pasta/display")"
  tela_aceita() { kill -0 "$xvfb" 2>/dev/null && xprop -root >/dev/null 2>&1; }
  if ! [ -s "$pasta/display" ] || ! espera 30 tela_aceita; then
    motivo="o Xvfb não iniciou: $(tail -3 "$pasta/xvfb.log")"
    kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
    return 1
  fi
  openbox --sm-disable >"$pasta/openbox.log" 2>&1 &
  openbox=$!
  pids+=($openbox)
  # The window manager is up when it has named itself on the root window; it may also have died.
  gerenciador_pronto() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  gerenciador_decidido() { gerenciador_pronto || ! kill -0 "$openbox" 2>/dev/null; }
  espera 30 gerenciador_decidido
  if ! kill -0 "$openbox" 2>/dev/null || ! gerenciador_pronto; then
    motivo="o openbox não iniciou (tentativa $tentativa, tela $DISPLAY): $(tail -5 "$pasta/openbox.log")"
    kill "$openbox" "$xvfb" 2>/dev/null; wait "$openbox" "$xvfb" 2>/dev/null
    return 1
  fi
}

# A server or window manager that fails to start is the machine's trouble, not the program's: it
# is tried three times, each failure told on stderr, and the test is skipped when none came up.
motivo=
for tentativa in 1 2 3; do
  inicia_tela "$tentativa" && break
  echo "$motivo" >&2
  [ "$tentativa" -lt 3 ] || pula "$motivo"
done

export QT_QPA_PLATFORM=xcb LC_ALL=pt_BR.UTF-8 ASAN_OPTIONS=detect_leaks=0
mkdir -p "$pasta/interrompido" "$pasta/referencia"
cp "$exemplo" "$pasta/interrompido/pregao.xml"
cp "$exemplo" "$pasta/referencia/pregao.xml"

# Waits (up to 120 s) for a visible window of the program whose title matches; prints its id.
janela() {
  timeout 120 xdotool search --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1
}

# Starts the program on a file; sets `pid` and `principal` (its main window, with the file open).
inicia() {
  "$programa" "$1" >>"$pasta/programa.log" 2>&1 &
  pid=$!
  pids+=($pid)
}

# Types brand, Enter, price, Enter for each pair, into the focused brand edit.
digita() {
  while [ $# -ge 2 ]; do
    xdotool type --delay 30 "$1"
    xdotool key --delay 30 Return
    xdotool type --delay 30 "$2"
    xdotool key --delay 30 Return
    shift 2
  done
}

# Closes the main window as the user does (Alt+F4 through the window manager) and waits (up to
# 180 s: the close writes the file, slowly on a busy machine under the sanitizers) for the program
# to end.
terminou() { ! kill -0 "$pid" 2>/dev/null; }
fecha() {
  xdotool windowactivate --sync "$principal" key --delay 50 alt+F4
  espera 180 terminou || falha "a janela não fechou"
  wait "$pid" 2>/dev/null
}

# The number of records in the journals kept in the data folder.
registros() {
  cat "$pasta"/dados/proposta/*.diario 2>/dev/null | grep -c '^G' || true
}

# Every item of the example, so that every lot is whole and the close writes without asking.
itens=(Acme 10,5 Bic 2 Faber 3,25 Tilibra 7 Pilot 1,5 Maped 4 Cis 0,75 Kores 12)

# The run that is never interrupted.
inicia "$pasta/referencia/pregao.xml"
principal=$(janela "$pid" "Item 1 de")
[ -n "$principal" ] || falha "a janela não abriu o processo"
# The title the window manager shows is the caption itself, with nothing appended to it.
titulo=$(xprop -id "$principal" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[[ "$titulo" =~ ^"Digitação de Proposta - Item "[0-9]+" de 8"$ ]] || falha "título da janela: $titulo"
xdotool windowactivate --sync "$principal"
digita "${itens[@]}"
todos_registros() { [ "$(registros)" -ge 8 ]; }
espera 120 todos_registros || falha "o diário tem $(registros) registros, e não 8"
fecha

# The run that is killed while a row is being typed.
inicia "$pasta/interrompido/pregao.xml"
principal=$(janela "$pid" "Item 1 de")
[ -n "$principal" ] || falha "a janela não abriu o processo"
xdotool windowactivate --sync "$principal"
digita "${itens[@]}"
xdotool type --delay 30 "Perdida"
espera 120 todos_registros
[ "$(registros)" -eq 8 ] || falha "o diário tem $(registros) registros, e não 8"
kill -9 "$pid"
wait "$pid" 2>/dev/null
cmp -s "$exemplo" "$pasta/interrompido/pregao.xml" || falha "o arquivo do processo mudou antes de gravado"

# Started again: the question, "Sim" (the default button), then the close writes the file.
inicia "$pasta/interrompido/pregao.xml"
pergunta=$(janela "$pid" "^Confirmar$")
[ -n "$pergunta" ] || falha "a pergunta de recuperação não apareceu"
xdotool windowactivate --sync "$pergunta" key --delay 50 Return
principal=$(janela "$pid" "Item 1 de")
[ -n "$principal" ] || falha "a janela não abriu o processo depois da pergunta"
fecha

cmp "$pasta/referencia/pregao.xml" "$pasta/interrompido/pregao.xml" ||
  falha "o arquivo recuperado difere do arquivo da execução sem interrupção"
cmp -s "$exemplo" "$pasta/referencia/pregao.xml" && falha "nada foi gravado"
restos=$(ls "$pasta/dados/proposta" 2>/dev/null)
[ -z "$restos" ] || falha "ficaram no diretório de dados: $restos"
resultado=0
echo "1 passed, 0 failed"
