# What the tests of the view commands share: the tool as the first argument, a fresh working
# folder they run in, a failure count, and the small grammar network they open views on.
# Sourced, not run.
cli="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat >grammar.dat <<'NET'
#RELATIONS
subject isa dependent
#ENTITIES
noun isa word
verb isa word
auxiliary isa verb
modal isa auxiliary
modal isa word
#PROPERTIES
verb subject noun
#FONTS
NET
