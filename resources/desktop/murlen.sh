#!/bin/sh
# The command `murlen`: starts the game in its program folder, which an
# installation puts at ../lib/murlen beside this script's folder.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/murlen/murlen" "$@"
