# Registration of the Kelvara ODBC driver with unixODBC, shared by the
# maintainer scripts.

driver_names="@KELVARA_DRIVER_NAMES@"
odbcinst_template="@KELVARA_ODBCINST_TEMPLATE@"

# Prints the Driver= path registered under a name, or nothing.
registered_driver() {
    odbcinst -q -d -n "$1" 2>/dev/null | sed -n 's/^Driver[[:space:]]*=[[:space:]]*//p' | head -n 1
}

is_registered() {
    odbcinst -q -d -n "$1" >/dev/null 2>&1
}

# Another driver may already own one of the names; only entries naming our
# library are ours to remove.
is_ours() {
    case "$(registered_driver "$1")" in
        *libkelvaraodbc*) return 0 ;;
        *) return 1 ;;
    esac
}

# Calls the function named in $1 once for each driver name. The names hold
# "(*.mdb)", so globbing is off while they are split.
for_each_driver_name() {
    set -f
    old_ifs=$IFS
    IFS='|'
    for name in $driver_names; do
        IFS=$old_ifs
        "$1" "$name"
    done
    IFS=$old_ifs
    set +f
}

# Writes the section for one name from the template to standard output.
template_section() {
    awk -v want="[$1]" '
        /^\[/ { keep = ($0 == want) }
        keep { print }
    ' "$odbcinst_template"
}

register_if_missing() {
    if is_registered "$1"; then
        if ! is_ours "$1"; then
            echo "kelvara: ODBC driver name \"$1\" already belongs to another driver; left as it is." >&2
        fi
        return 0
    fi
    section=$(template_section "$1")
    if [ -z "$section" ]; then
        echo "kelvara: $odbcinst_template has no section [$1]; not registered." >&2
        return 0
    fi
    printf '%s\n' "$section" | odbcinst -i -d -r >/dev/null ||
        echo "kelvara: odbcinst could not register \"$1\"." >&2
}

# odbcinst -u lowers a usage count; a name registered several times by hand
# needs as many calls before it is gone.
unregister_if_ours() {
    tries=0
    while is_ours "$1" && [ "$tries" -lt 50 ]; do
        odbcinst -u -d -n "$1" >/dev/null 2>&1 || break
        tries=$((tries + 1))
    done
}
