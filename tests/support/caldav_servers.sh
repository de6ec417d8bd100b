# Sourced by the scripts that sync with CalDAV servers of their own.

free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# A Radicale on 127.0.0.1:PORT for one user with a plain-text password,
# keeping its calendars under DIR/collections: DIR/config and DIR/users.
# Rights owner_write let every user read the others' calendars, not write them.
write_radicale_config() {  # dir, port, user, password, [log level], [rights]
  printf '%s:%s\n' "$3" "$4" >"$1/users"
  cat >"$1/config" <<CONFIG
[server]
hosts = 127.0.0.1:$2
[auth]
type = htpasswd
htpasswd_filename = $1/users
htpasswd_encryption = plain
delay = 0
[rights]
type = ${6:-owner_only}
[storage]
filesystem_folder = $1/collections
[web]
type = none
[logging]
level = ${5:-warning}
CONFIG
}
