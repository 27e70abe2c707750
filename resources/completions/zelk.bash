# SPDX-License-Identifier: MIT
# bash completion for zelk: its options, file names for --batch (any file) and --decompile
# (compiled scripts), the console words after -c, ZelkScript sources otherwise (after --check and
# --graph too).

_zelk()
{
    local cur prev words cword split
    _init_completion -s || return

    # After --, every argument is a file name.
    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == -- ]]; then
            _filedir scr
            return
        fi
    done

    case $prev in
        -c)
            COMPREPLY=($(compgen -W 'clear env exit quit version status home cmdlist quake2' \
                -- "$cur"))
            return
            ;;
        --batch)
            _filedir
            return
            ;;
        --decompile)
            _filedir dat
            return
            ;;
        --graph)
            _filedir scr
            return
            ;;
        --lines)
            COMPREPLY=($(compgen -W "$(echo {1..50})" -- "$cur"))
            return
            ;;
        -h | --help | --version | --lsp)
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '-c --batch --lines --decompile --check --graph --lsp -h --help
            --version --' \
            -- "$cur"))
        return
    fi
    _filedir scr
} &&
    complete -F _zelk zelk
