#!/bin/bash
# The recovery journal on a real X server: a run types brands and prices into a copy of the
# example and closes the window; another run types the same into another copy (and starts a row it
# never finishes), is killed with SIGKILL, is started again, answers "Sim" to the recovery question
# and closes the window. Both process files must then hold the same bytes, and no journal is left.
# usage: recuperacao-xvfb.sh PROPOSTA EXEMPLO.xml   (exit 77: skipped, the X server could not start)
set -u
programa=$1
exemplo=$2

pasta=$(mktemp -d /tmp/proposta-xvfb-XXXXXX)
pids=()
# Ends what this script started (by PID only) and removes its folder.
limpa() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -9 "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$pasta"
}
trap limpa EXIT

# Stops the test with a message.
falha() {
  echo "FALHOU: $*" >&2
  exit 1
}

for ferramenta in Xvfb openbox xdotool xprop; do
  command -v "$ferramenta" >/dev/null || { echo "SKIP: $ferramenta não está instalado"; exit 77; }
done

# A display of our own: Xvfb picks a free number and writes it on descriptor 3 (XVFB_TELA=n asks
# for display :n instead).
if [ -n "${XVFB_TELA:-}" ]; then
  echo "$XVFB_TELA" >"$pasta/display"
  Xvfb ":$XVFB_TELA" -screen 0 1280x1024x24 -nolisten tcp 2>"$pasta/xvfb.log" &
else
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$pasta/display" 2>"$pasta/xvfb.log" &
fi
pids+=($!)
sleep 0.5
for _ in $(seq 100); do [ -s "$pasta/display" ] && break; sleep 0.1; done
if ! [ -s "$pasta/display" ] || ! kill -0 "${pids[0]}" 2>/dev/null; then
  echo "SKIP: o Xvfb não iniciou: $(tail -3 "$pasta/xvfb.log")"
  exit 77
fi
export DISPLAY=":$(head -1 "$pasta/display")"
openbox --sm-disable >"$pasta/openbox.log" 2>&1 &
pids+=($!)
sleep 1

export QT_QPA_PLATFORM=xcb LC_ALL=pt_BR.UTF-8 XDG_DATA_HOME="$pasta/dados"
export XDG_CONFIG_HOME="$pasta/config" XDG_CACHE_HOME="$pasta/cache"
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$pasta/interrompido" "$pasta/referencia"
cp "$exemplo" "$pasta/interrompido/pregao.xml"
cp "$exemplo" "$pasta/referencia/pregao.xml"

# Waits (up to 60 s) for a visible window of the program whose title matches; prints its id.
janela() {
  timeout 60 xdotool search --sync --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1
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

# Closes the main window as the user does (Alt+F4 through the window manager) and waits for the
# program to end.
fecha() {
  xdotool windowactivate --sync "$principal" key --delay 50 alt+F4
  for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  falha "a janela não fechou"
}

# The number of records in the journals kept in the data folder.
registros() {
  cat "$pasta"/dados/proposta/*.diario 2>/dev/null | grep -c '^G' || true
}

itens=(Acme 10,5 Bic 2 Faber 3,25 Tilibra 7)

# The run that is never interrupted.
inicia "$pasta/referencia/pregao.xml"
principal=$(janela "$pid" "Item 1 de")
[ -n "$principal" ] || falha "a janela não abriu o processo"
# The title the window manager shows is the caption itself, with nothing appended to it.
titulo=$(xprop -id "$principal" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
[[ "$titulo" =~ ^"Digitação de Proposta - Item "[0-9]+" de 8"$ ]] || falha "título da janela: $titulo"
xdotool windowactivate --sync "$principal"
digita "${itens[@]}"
for _ in $(seq 300); do [ "$(registros)" -ge 4 ] && break; sleep 0.1; done
fecha

# The run that is killed while a row is being typed.
inicia "$pasta/interrompido/pregao.xml"
principal=$(janela "$pid" "Item 1 de")
[ -n "$principal" ] || falha "a janela não abriu o processo"
xdotool windowactivate --sync "$principal"
digita "${itens[@]}"
xdotool type --delay 30 "Perdida"
for _ in $(seq 300); do [ "$(registros)" -ge 4 ] && break; sleep 0.1; done
[ "$(registros)" -eq 4 ] || falha "o diário tem $(registros) registros, e não 4"
sleep 0.5
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
echo "1 passed, 0 failed"
