#!/bin/sh
# Generates the comma-decimal locale de_DE.UTF-8 into the folder $1 (used through LOCPATH),
# without touching the system's locales.
set -u
if ! localedef -i de_DE -f UTF-8 "$1/de_DE.UTF-8" 2>"$1.log"; then
    cat "$1.log" >&2
    echo "de_DE.UTF-8 cannot be generated: install the Debian package 'locales'" \
         "(its /usr/share/i18n sources)" >&2
    exit 1
fi
