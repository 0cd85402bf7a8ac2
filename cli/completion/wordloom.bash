# bash completion for wordloom: commands, their options, option values
# (rankings, modes) and file names. Installed to
# share/bash-completion/completions/wordloom; tests/cli/docs_test.sh checks
# that it offers every option `wordloom COMMAND --help` lists.

_wordloom_options() {
  local dict="-d --dictionary --password-file"
  case $1 in
    learn) echo "-o --output --fixed --encoded-size --include-delimiter --exclude-delimiter --utf8 --bytes --counts --protect --password-file" ;;
    count) echo "--utf8 --bytes" ;;
    import) echo "-o --output --counts" ;;
    check) echo "$dict --case-sensitive --max-suggestions --ranking --mode -p --personal --interactive" ;;
    suggest) echo "$dict --case-sensitive --max-suggestions --ranking" ;;
    list) echo "$dict --from --to" ;;
    add | delete | info) echo "$dict" ;;
    encode | decode) echo "$dict --raw" ;;
    pipe | "") echo "$dict -D -l -v -p -i --encoding --case-sensitive --ranking --mode -t -H -n -m -B -C -S -W" ;;
  esac
  if [[ -z $1 ]]; then echo "-a --version"; fi
  echo "-h --help"
}

_wordloom() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local commands="learn count import check suggest list add delete info encode decode pipe"
  local command="" i
  for ((i = 1; i < COMP_CWORD; i++)); do
    if [[ " $commands " == *" ${COMP_WORDS[i]} "* ]]; then
      command=${COMP_WORDS[i]}
      break
    fi
  done

  case $prev in
    --ranking) mapfile -t COMPREPLY < <(compgen -W "likelihood sort-methods" -- "$cur"); return ;;
    --mode) mapfile -t COMPREPLY < <(compgen -W "plain tex html markdown nroff" -- "$cur"); return ;;
    -i | --encoding) mapfile -t COMPREPLY < <(compgen -W "utf-8" -- "$cur"); return ;;
    -d | --dictionary | -o | --output)
      mapfile -t COMPREPLY < <(compgen -f -X '!*.spl' -- "$cur"; compgen -d -- "$cur")
      return ;;
    --password-file | --counts | -p | --personal)
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return ;;
    --fixed | --encoded-size | --max-suggestions | -W | --from | --to) return ;;
  esac

  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(_wordloom_options "$command")" -- "$cur")
  elif [[ -z $command ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
  else
    case $command in
      suggest | add | delete | list | pipe) ;;
      *) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    esac
  fi
}

complete -o filenames -F _wordloom wordloom
