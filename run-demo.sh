#!/usr/bin/env bash
# Sets everything up and plays the demo. Without a display, plays it on a
# virtual screen instead and says where the pictures went.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
exec "$root/scripts/play.sh"
