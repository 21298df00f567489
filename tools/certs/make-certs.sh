#!/bin/sh
# Makes the certificates of the stand-in service, once; the PEM files are
# committed so that no build step needs openssl. Every file is for tests only.
#   test-ca.pem / test-ca.key        a test certificate authority
#   server.pem / server.key          localhost and 127.0.0.1, signed by the test CA
#   untrusted.pem / untrusted.key    self-signed, for the same names, trusted by nobody
set -eu
cd "$(dirname "$0")"
days=36525
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days "$days" \
    -keyout test-ca.key -out test-ca.pem \
    -subj "/O=TavikRepView tests/CN=TavikRepView Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign"

openssl req -newkey rsa:2048 -nodes -keyout server.key -out "$tmp/server.csr" \
    -subj "/O=TavikRepView tests/CN=localhost"
cat > "$tmp/server.ext" <<'EXT'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=DNS:localhost,IP:127.0.0.1
EXT
openssl x509 -req -in "$tmp/server.csr" -CA test-ca.pem -CAkey test-ca.key -CAcreateserial \
    -CAserial "$tmp/ca.srl" -days "$days" -extfile "$tmp/server.ext" -out server.pem

openssl req -x509 -newkey rsa:2048 -nodes -days "$days" \
    -keyout untrusted.key -out untrusted.pem \
    -subj "/O=Nobody/CN=localhost" \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
    -addext "extendedKeyUsage=serverAuth"
