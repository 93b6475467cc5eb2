# Sourced by every script that builds: sets root and build, installs what is missing and
# configures the build trees.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
"$root/scripts/setup.sh"
"$root/scripts/configure.sh" "$build"
