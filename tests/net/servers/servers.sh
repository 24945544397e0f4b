#!/bin/bash
# The network tests' servers, a CTest fixture: "start WORK EMULATOR ADDROOT"
# makes the certificates (a CA; localhost, expired, another name, self-signed),
# trusts the CA in the test Wine prefix, starts on 127.0.0.1
#   18080  python's http.server (HTTP/1.0) over tests/net/www
#   18081  testserver.py: HTTP/1.1 with keep-alive, chunks and fault recipes
#   18443  the same under TLS for localhost; 18444 expired; 18445 another
#          name; 18446 self-signed
#   18447  a listener that never accepts, its queue full: a connect waits
#   18021  ftpserver.py (pyftpdlib) over WORK/ftp, made afresh: user "user",
#          password "pass1234"
#   18025  aiosmtpd, storing every message in the Maildir WORK/mail
#   18110  scripted.py: POP3 over that Maildir, and its fault recipes on the
#          ports it lists (FTP, POP3, SMTP)
# and records their process ids in WORK/pids; "stop WORK" stops them by id.
# All servers also stop by themselves after 30 minutes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
action=$1 work=$2
python=/usr/bin/python3

make_certs() {
    local dir=$1
    [ -f "$dir/selfsigned.pem" ] && return
    mkdir -p "$dir" && cd "$dir"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 3650 -subj "/CN=Nimbora Test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
    local name host
    for pair in localhost:localhost other:other.example expired:localhost; do
        name=${pair%%:*} host=${pair#*:}
        openssl req -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" -subj "/CN=$host" 2>/dev/null
        printf 'subjectAltName=DNS:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$host" > "$name.ext"
    done
    openssl x509 -req -in localhost.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 825 \
        -extfile localhost.ext -out localhost.pem 2>/dev/null
    openssl x509 -req -in other.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 825 \
        -extfile other.ext -out other.pem 2>/dev/null
    # A certificate of the past needs the ca command and its database.
    : > index.txt
    printf '[ca]\ndefault_ca=test\n[test]\ndatabase=index.txt\nnew_certs_dir=.\nserial=ca.srl\n'\
'default_md=sha256\npolicy=any\ncopy_extensions=copy\n[any]\ncommonName=supplied\n' > ca.cnf
    openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -in expired.csr -extfile expired.ext \
        -startdate 20200101000000Z -enddate 20200201000000Z -out expired.pem 2>/dev/null
    openssl req -x509 -newkey rsa:2048 -nodes -keyout selfsigned.key -out selfsigned.pem -days 825 \
        -subj /CN=localhost -addext subjectAltName=DNS:localhost 2>/dev/null
}

# The FTP server's files: a binary file of every byte value, texts in a
# tree with a file without extension, and a link.
make_ftp_root() {
    local root=$1
    rm -rf "$root"
    mkdir -p "$root/sub/deep"
    "$python" -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 64)' >"$root/bin.dat"
    printf 'abc' >"$root/a.txt"
    printf 'b\n' >"$root/sub/b.txt"
    printf 'c' >"$root/sub/c.dat"
    printf 'n' >"$root/sub/noext"
    printf 'd' >"$root/sub/deep/d.txt"
    ln -s a.txt "$root/link"
}

wait_for_port() {
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return
        sleep 0.1
    done
    echo "servers: port $1 does not answer" >&2
    exit 1
}

# The ports are fixed: servers of another run of the tests on this machine
# would answer in place of these ones, so a taken port fails the start.
check_ports_free() {
    local port
    for port in "$@"; do
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "servers: port $port is taken (another test run?)" >&2
            exit 1
        fi
    done
}

start() {
    local emulator=$1 addroot=$2 certs="$work/certs"
    stop
    check_ports_free 18080 18081 18443 18444 18445 18446 18021 18025 18110 18127
    mkdir -p "$work"
    (make_certs "$certs")
    "$emulator" "$addroot" "Z:${certs//\//\\}\\ca.pem"
    setsid timeout 1800 "$python" -m http.server 18080 --bind 127.0.0.1 --directory "$here/../www" \
        >"$work/http.server.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    local tls=()
    for pair in 18443:localhost 18444:expired 18445:other 18446:selfsigned; do
        tls+=(--tls "${pair%%:*}:$certs/${pair#*:}.pem:$certs/${pair#*:}.key")
    done
    setsid "$python" "$here/testserver.py" --idle 1800 --plain 18081 --full 18447 "${tls[@]}" \
        >"$work/testserver.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    make_ftp_root "$work/ftp"
    rm -rf "$work/mail"
    setsid timeout 1800 "$python" "$here/ftpserver.py" 18021 "$work/ftp" user pass1234 \
        >"$work/ftpserver.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    setsid timeout 1800 "$python" -m aiosmtpd -n -l 127.0.0.1:18025 -c aiosmtpd.handlers.Mailbox "$work/mail" \
        >"$work/aiosmtpd.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    setsid "$python" "$here/scripted.py" --idle 1800 "$work/mail" >"$work/scripted.log" 2>&1 </dev/null &
    echo $! >>"$work/pids"
    for port in 18080 18081 18443 18444 18445 18446 18021 18025 18110 18127; do wait_for_port $port; done
}

stop() {
    [ -f "$work/pids" ] || return 0
    local pid
    while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$work/pids"
    rm -f "$work/pids"
}

case $action in
start) start "$3" "$4" ;;
stop) stop ;;
*) echo "usage: servers.sh start WORK EMULATOR ADDROOT | stop WORK" >&2; exit 2 ;;
esac
