# bash completion for volumara-cli
_volumara_cli() {
    local cur prev words cword
    _init_completion || return
    local subcommands="info check new pack reindex export import report backup"
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$subcommands --help" -- "$cur"))
        return
    fi
    local options="--settings --quiet --help"
    case ${words[1]} in
        check) options+=" --repair" ;;
        export) options+=" --text --dbf --fields --no-header --search" ;;
        import) options+=" --text --dbf --skip-first --map" ;;
        report) options+=" --name --number --text --pdf --print --search" ;;
        backup) options+=" --lists --reports" ;;
    esac
    case $prev in
        --settings)
            _filedir ini
            return
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir '@(dbf|DBF)'
} &&
    complete -F _volumara_cli volumara-cli
